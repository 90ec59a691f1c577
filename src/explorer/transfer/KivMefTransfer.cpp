#include "explorer/transfer/KivMefTransfer.h"

#include "engine/KivEngineStatus.h"
#include "explorer/transfer/KivPrgExport.h"
#include "explorer/transfer/KivLineWriter.h"
#include "exportfiles/KivMEFFile.h"
#include "platform/KivDosPath.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "support/KivPathUtil.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

std::string EngineFailure(const KivIDEBaseObject& object) {
    std::string text = object.ErrorString();
    if (object.ErrorCode() != 0)
        text += ": " + kiv::engine::StatusText(object.ErrorCode());
    return text;
}

// Why the engine must not be handed the file, or empty when it may. The reader says more than the
// engine's refusal would: a wrong header, a version it does not know, where the damage lies.
std::string MefProblem(const std::string& file, std::string& moduleName) {
    KivMEFFile mef(file);
    if (!mef.IsValid()) {
        if (!mef.ErrorString().empty())
            return mef.ErrorString();
        const auto host = kiv::dospath::Resolve(file);
        std::error_code ec;
        if (!host || !fs::is_regular_file(*host, ec))
            return "The file cannot be opened";
        return "Invalid MEF File version";
    }
    moduleName = mef.Name();
    if (mef.ErrorCode() == KivMEFFile::kDamaged)
        return mef.ErrorString();
    if (moduleName.empty())
        return "The file names no module";
    return {};
}

bool IsMefName(const fs::path& path) {
    return KivEqualsIgnoringCase(path.extension().string(), ".MEF");
}

} // namespace

std::string KivMefLog(const std::string& title, const std::string& applicationName,
                      const std::vector<KivMefFileOutcome>& files) {
    std::string log = title + "\r\nApplication : " + applicationName + "\r\n\r\n";
    for (const KivMefFileOutcome& file : files) {
        log += "   " + file.file + "\r\n";
        if (file.error.empty())
            log += "   Module " + file.module + " : " + std::to_string(file.entities) + " entities\r\n";
        else
            log += "-->Error : " + file.error + "\r\n";
    }
    return log;
}

std::vector<std::string> KivMefImport::FilesOf(const std::vector<std::string>& paths, std::string& missing) {
    std::vector<std::string> files;
    for (const std::string& dos : paths) {
        const auto host = kiv::dospath::Resolve(dos);
        std::error_code ec;
        if (host && fs::is_regular_file(*host, ec)) {
            files.push_back(dos);
            continue;
        }
        if (!host || !fs::is_directory(*host, ec)) {
            missing = dos;
            return {};
        }
        std::vector<fs::path> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(*host, ec))
            if (IsMefName(entry.path()) && entry.is_regular_file(ec))
                found.push_back(entry.path());
        std::sort(found.begin(), found.end(),
                  [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
        for (const fs::path& file : found)
            files.push_back(KivConcatDir(dos, kiv::dospath::DosName(file.filename().string())));
    }
    return files;
}

KivTransferResult KivMefImport::Run(KivVOProject& project, const std::string& applicationName,
                                    const std::vector<std::string>& files, KivProgress& progress) {
    KivTransferResult result;
    m_files.clear();
    m_application = project.ApplicationFind(applicationName);
    if (!m_application)
        m_application = project.ApplicationCreate(applicationName);
    if (!m_application || !m_application->IsValid()) {
        m_application = nullptr;
        result.outcome = KivTransferOutcome::Failed;
        result.message = EngineFailure(project);
        return result;
    }
    progress.SetRange(0, 1, static_cast<uint32_t>(files.size()));
    for (size_t i = 0; i < files.size(); ++i) {
        KivMefFileOutcome& outcome = m_files.emplace_back();
        outcome.file = files[i];
        progress.SetPosition(0, static_cast<uint32_t>(i + 1));
        progress.SetText(0, KivExtractFileInfo(files[i]));
        if (progress.CancelRequested()) {
            m_files.pop_back();
            result.outcome = KivTransferOutcome::Cancelled;
            return result;
        }
        outcome.error = MefProblem(files[i], outcome.module);
        if (outcome.error.empty()) {
            auto module = m_application->ImportModule(files[i], "", 1, 0);
            if (module) {
                outcome.module = module->Name();
                outcome.entities = module->EntityCount();
            } else {
                outcome.error = EngineFailure(*m_application);
            }
        }
        if (!outcome.error.empty())
            ++result.errors;
    }
    if (result.errors > 0) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = std::to_string(result.errors) + " of " + std::to_string(files.size()) +
                         " files could not be imported";
    }
    return result;
}

std::string KivMefExport::OutputFolder(const std::string& baseFolder, const std::string& applicationName) {
    return KivPrgExport::OutputFolder(baseFolder, applicationName);
}

KivTransferResult KivMefExport::Run(KivVOApplication& application, const std::string& baseFolder, bool withPrg,
                                    KivProgress& progress) {
    KivTransferResult result;
    m_files.clear();
    m_stale.clear();
    const std::string folder = OutputFolder(baseFolder, application.Name());
    KivDirMake(folder);
    if (!KivIsDir(folder)) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = "Cannot create the folder " + folder;
        return result;
    }
    const auto modules = application.ModuleList();
    progress.SetRange(0, 1, static_cast<uint32_t>(modules.size()));
    std::set<std::string> used;
    for (size_t i = 0; i < modules.size(); ++i) {
        const auto& module = modules[i];
        const std::string name = module->Name();
        progress.SetPosition(0, static_cast<uint32_t>(i + 1));
        progress.SetText(0, name);
        if (progress.CancelRequested()) {
            result.outcome = KivTransferOutcome::Cancelled;
            return result;
        }
        const std::string base = KivPrgExport::UniqueFileBase(KivSafeFileName(name), used);
        KivMefFileOutcome& mef = m_files.emplace_back();
        mef.file = KivConcatDir(folder, base + ".MEF");
        mef.module = name;
        if (module->ExportModule(mef.file))
            mef.entities = module->EntityCount();
        else if (auto* voModule = dynamic_cast<KivVOModule*>(module.get()))
            mef.error = EngineFailure(*voModule);
        else
            mef.error = "Cannot write " + mef.file;
        if (!mef.error.empty())
            ++result.errors;
        if (!withPrg)
            continue;

        KivMefFileOutcome prg{KivConcatDir(folder, base + ".prg"), name, 0, {}};
        std::string source;
        size_t saved = 0;
        if (!KivPrgExport::ModuleSource(module->EntityList(), progress, source, saved)) {
            result.outcome = KivTransferOutcome::Cancelled;
            return result;
        }
        KivLineWriter sink(prg.file);
        sink.Create();
        sink.WriteText(source);
        if (sink.Close())
            prg.entities = static_cast<uint32_t>(saved);
        else
            prg.error = "Error writing " + sink.Failure();
        if (!prg.error.empty())
            ++result.errors;
        m_files.push_back(std::move(prg));
    }
    std::string missing;
    for (const std::string& file : KivMefImport::FilesOf({folder}, missing))
        if (std::none_of(m_files.begin(), m_files.end(),
                         [&](const KivMefFileOutcome& written) { return KivEqualsIgnoringCase(written.file, file); }))
            m_stale.push_back(file);
    if (result.errors > 0) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = std::to_string(result.errors) + " files could not be written";
    }
    return result;
}
