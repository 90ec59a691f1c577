#include "support/KivErrorHandler.h"

#include "platform/KivDosPath.h"
#include "platform/KivSymbol.h"
#include "support/KivPrompt.h"
#include "support/KivStringUtil.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>

namespace {

constexpr uint32_t kProcessorException = 5333;
constexpr uint32_t kSubstitutePtr = 18;
const char* const kCrLf = "\r\n";

std::string Hex8(uint64_t value) { return KivIntToHex(static_cast<uint32_t>(value), 8); }

std::string Logic(bool value) { return value ? ".T." : ".F."; }

std::string Label(const char* name) {
    std::string label(name);
    label.resize(16, ' ');
    return label + ":";
}

std::string FormatDate(const std::string& format, const std::tm& tm) {
    char yyyy[16], mm[16], dd[16];
    std::snprintf(yyyy, sizeof yyyy, "%04d", tm.tm_year + 1900);
    std::snprintf(mm, sizeof mm, "%02d", tm.tm_mon + 1);
    std::snprintf(dd, sizeof dd, "%02d", tm.tm_mday);
    std::string out = KivUpper(format);
    auto put = [&out](const std::string& key, const std::string& value) {
        size_t at = out.find(key);
        if (at != std::string::npos)
            out.replace(at, key.size(), value);
    };
    if (out.find("YYYY") != std::string::npos)
        put("YYYY", yyyy);
    else
        put("YY", std::string(yyyy).substr(2));
    put("MM", mm);
    put("DD", dd);
    return out;
}

enum class LogResult { Written, PathMissing, Failed };

LogResult AppendToLog(const std::string& record) {
    std::error_code ec;
    std::filesystem::path cwd = std::filesystem::current_path(ec);
    if (ec)
        return LogResult::PathMissing;
    auto path = kiv::dospath::Resolve(kiv::dospath::FromHost(cwd) + "\\VOERROR.LOG");
    if (!path)
        return LogResult::PathMissing;
    bool exists = std::filesystem::exists(*path, ec);
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path->c_str(), "ab"), &std::fclose);
    if (!file)
        return errno == ENOENT ? LogResult::PathMissing : LogResult::Failed;
    std::string bytes = exists ? kCrLf + record : record;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return LogResult::Failed;
    return std::fflush(file.get()) == 0 ? LogResult::Written : LogResult::Failed;
}

bool g_inHandler = false;

} // namespace

KivRuntimeSettings& KivRuntime() {
    static KivRuntimeSettings settings;
    return settings;
}

std::string KivErrorMessage(const KivErrorObject& error) {
    std::string m;
    m += error.Severity == 1 ? "WARNING : " : "Error Code: ";
    m += " ";
    if (error.GenCode != 0)
        m += std::to_string(error.GenCode) + " [ " + KivUpper(KivGenCodeText(error.GenCode)) + " ]";
    else
        m += error.Description;
    m += kCrLf;
    if (!error.SubSystem.empty())
        m += "Subsystem: " + error.SubSystem + kCrLf;
    if (error.SubCode != 0) {
        m += "Error Subcode: " + std::to_string(error.SubCode);
        if (!error.SubCodeText.empty())
            m += " (" + error.SubCodeText + ")";
        m += kCrLf;
    }
    if (!error.Operation.empty())
        m += "Operation: " + error.Operation + kCrLf;
    if (!error.FuncSym.empty())
        m += "Function: " + error.FuncSym + kCrLf;
    if (!error.FileName.empty())
        m += "Filename: " + error.FileName.substr(0, 40) + kCrLf;
    if (!error.Arg.empty())
        m += "Argument: " + error.Arg + kCrLf + "Type: " + KivTypeName(error.ArgType) + kCrLf;
    if (error.ArgNum != 0)
        m += "Argument Number: " + std::to_string(error.ArgNum) + kCrLf;
    if (error.ArgTypeReq != 0 && error.ArgTypeReq != error.ArgType)
        m += "Requested type: " + KivTypeName(error.ArgTypeReq) + kCrLf;
    if (!error.Description.empty())
        m += "Description: " + error.Description + kCrLf;
    if (!error.CallStack.empty() && error.CallStack.front().line != 0) {
        m += std::string("CallStack: ") + kCrLf;
        for (size_t i = 0; i < error.CallStack.size() && i < 5 && error.CallStack[i].line != 0; ++i)
            m += error.CallStack[i].routine + " (Line: " + std::to_string(error.CallStack[i].line) + ")" + kCrLf;
    }
    return m;
}

std::string KivErrorLogRecord(const KivErrorObject& e, const std::string& message, const std::string& date,
                              const std::string& time) {
    std::string r;
    auto line = [&r](const std::string& text) { r += text + kCrLf; };
    auto field = [&line](const char* name, const std::string& value) { line(Label(name) + value); };
    line("***********************ERROR********************************");
    line(date + " " + time);
    line(" ");
    line("Error message:");
    line("--------------");
    r += message;
    line("Error Object created:");
    line("--------------------");
    field("SubSystem", e.SubSystem);
    field("SubCode", std::to_string(e.SubCode));
    field("GenCode", KivGenCodeText(e.GenCode));
    if (e.SubCode == kProcessorException) {
        field("ExceptionCode", Hex8(e.OsCode));
        field("ExceptionFlags", Hex8(e.ArgType));
        field("ExceptionAddress", Hex8(e.FuncPtr));
        field("ParamNumber", std::to_string(e.ArgNum));
        field("ExceptionInfo", Hex8(KivSymbol(e.FuncSym).Id()));
    }
    field("OsCode", std::to_string(e.OsCode));
    field("ArgType", KivTypeName(e.ArgType));
    field("FuncPtr", std::to_string(e.FuncPtr));
    field("ArgNum", std::to_string(e.ArgNum));
    field("FuncSym", e.FuncSym);
    field("Severity", std::to_string(e.Severity));
    field("CanDefault", Logic(e.CanDefault));
    field("CanRetry", Logic(e.CanRetry));
    field("CanSubstitute", Logic(e.CanSubstitute));
    field("Operation", e.Operation);
    field("Description", e.Description);
    field("FileName", e.FileName);
    field("Tries", std::to_string(e.Tries));
    field("FileHandle", std::to_string(e.FileHandle));
    field("SubCodeText", e.SubCodeText);
    field("Arg", e.Arg);
    field("ArgTypeReq", KivTypeName(e.ArgTypeReq));
    field("MaxSize", std::to_string(e.MaxSize));
    field("SubstituteType", KivTypeName(e.SubstituteType));
    field("CallFuncSym", e.CallFuncSym);
    line("--------------------");
    return r;
}

KivErrorOutcome DefError(KivErrorObject error) {
    KivRuntimeSettings& runtime = KivRuntime();
    if (error.CanDefault && ((error.GenCode == KivGen::Open && (error.OsCode == 32 || error.OsCode == 33)) ||
                             error.GenCode == KivGen::AppendLock)) {
        runtime.NetworkError = true;
        return {KivErrorOutcome::Default, 0, 0};
    }
    const std::string title = error.Severity == 1 ? "WARNING" : "ERROR";
    if (error.SubstituteType == kSubstitutePtr)
        error.Severity = 3;
    const std::string message = KivErrorMessage(error);

    if (runtime.Beep) {
        KivPrompt().Beep(440, 150);
        KivPrompt().Beep(330, 150);
        KivPrompt().Beep(220, 300);
    }
    bool canDefault = error.CanDefault || error.CanSubstitute;
    if (error.GenCode == KivGen::NoVar)
        error.CanRetry = false;
    bool canRetry = error.CanRetry;
    bool canBreak = runtime.CanBreak;

    if (runtime.ErrorLog && !g_inHandler) {
        std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        char time[16];
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
        LogResult logged = AppendToLog(KivErrorLogRecord(error, message, FormatDate(runtime.DateFormat, tm), time));
        if (logged == LogResult::PathMissing) {
            // The log's folder is gone: report that once through the handler itself, without a
            // log for the report (its path is just as unusable).
            std::string old = runtime.DefaultDir;
            runtime.DefaultDir.clear();
            KivErrorObject internal;
            internal.SubSystem = "KIV";
            internal.GenCode = KivGen::Create;
            internal.FuncSym = "DefError";
            internal.Description = old.empty() ? "SetDefault: " + old : "SetDefaultDir: " + old;
            g_inHandler = true;
            DefError(internal);
            g_inHandler = false;
        }
    }

    switch (KivPrompt().ErrorBox(message, title, canDefault, canRetry, canBreak)) {
    case KivErrorChoice::Default:
        if (error.CanSubstitute)
            return {KivErrorOutcome::Substitute, 0, error.SubstituteType};
        return {KivErrorOutcome::Default, 0, 0};
    case KivErrorChoice::Retry:
        if (canRetry)
            return {KivErrorOutcome::Retry, 0, 0};
        break;
    default:
        break;
    }
    if (canBreak)
        return {KivErrorOutcome::Break, 0, 0};
    return {KivErrorOutcome::Quit, error.GenCode, 0};
}

KivErrorOutcome DefError(const std::exception& exception) {
    if (const auto* raised = dynamic_cast<const KivError*>(&exception))
        return DefError(raised->Error());
    KivErrorObject error;
    error.SubSystem = "KIV";
    error.GenCode = KivGen::Arg;
    error.FuncSym = "DefError";
    error.ArgNum = 1;
    error.ArgType = KivType::Object;
    error.Arg = exception.what();
    return DefError(error);
}

void KivInstallErrorHandler() {
    std::set_terminate([] {
        uint32_t code = 1;
        if (std::exception_ptr current = std::current_exception()) {
            try {
                std::rethrow_exception(current);
            } catch (const std::exception& e) {
                KivErrorOutcome outcome = DefError(e);
                if (outcome.kind == KivErrorOutcome::Quit && outcome.exitCode != 0)
                    code = outcome.exitCode;
            } catch (...) {
                KivErrorObject error;
                error.SubSystem = "KIV";
                error.FuncSym = "DefError";
                error.Description = "Unknown exception";
                DefError(error);
            }
        }
        // Nothing can go on after std::terminate: whatever was chosen, the program ends here.
        std::_Exit(static_cast<int>(code));
    });
}
