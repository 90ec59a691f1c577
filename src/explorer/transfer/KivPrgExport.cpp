#include "explorer/transfer/KivPrgExport.h"

#include "explorer/transfer/KivLineWriter.h"
#include "exportfiles/KivModuleAbstract.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "support/KivMessage.h"
#include "support/KivPathUtil.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <cstdio>
#include <set>

namespace {

std::string Logical(bool value) {
    return value ? ".T." : ".F.";
}

std::string Number3(size_t number) {
    char text[24];
    std::snprintf(text, sizeof text, "%03zu", number);
    return text;
}

bool IsSourceType(uint32_t numType) {
    return numType == 1 || numType == 3 || numType == 4;
}

} // namespace

std::string KivPrgExport::UniqueFileBase(const std::string& safeName, std::set<std::string>& used) {
    std::string candidate = safeName;
    for (int n = 2; !used.insert(KivUpper(candidate)).second; ++n)
        candidate = safeName + "_" + std::to_string(n);
    return candidate;
}

bool KivPrgExport::ModuleSource(const std::vector<std::shared_ptr<KivEntityAbstract>>& entities,
                                KivProgress& progress, std::string& source, size_t& saved) {
    progress.SetRange(1, 1, static_cast<uint32_t>(entities.size()));
    for (size_t j = 0; j < entities.size(); ++j) {
        const auto& entity = entities[j];
        progress.SetPosition(1, static_cast<uint32_t>(j + 1));
        progress.SetText(1, entity->Name());
        if (progress.CancelRequested())
            return false;
        const auto* voEntity = dynamic_cast<const KivVOEntity*>(entity.get());
        if (!voEntity || !IsSourceType(voEntity->NumType()))
            continue;
        source += entity->Source();
        source += "\r\n";
        ++saved;
    }
    return true;
}

bool KivPrgExport::CanExport(const KivVOApplication* application, std::vector<KivNotice>& refusal) {
    if (!application || !application->IsValid())
        return false;
    if (application->IsSystemLibrary()) {
        refusal.push_back(KivNotice::Stop("You can't export a System Library !", "Error"));
        return false;
    }
    return true;
}

std::string KivPrgExport::OutputFolder(const std::string& baseFolder, const std::string& applicationName) {
    return KivConcatDir(KivAllTrim(baseFolder), KivSafeFileName(applicationName));
}

KivTransferResult KivPrgExport::Run(KivVOApplication& application, const std::string& baseFolder,
                                    KivProgress& progress) {
    KivTransferResult result;
    const std::string appName = application.Name();
    const std::string folder = OutputFolder(baseFolder, appName);
    KivDirMake(folder);
    if (!KivIsDir(folder)) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = "Cannot create the folder " + folder;
        return result;
    }

    // The application's name keeps its dots: the extension is added, not put in place of what
    // the name ends in, so "My.App" does not become "My.KEA".
    const std::string fileBase = KivSafeFileName(appName);
    KivLineWriter log(KivConcatDir(folder, fileBase + ".log"));
    KivLineWriter kea(KivConcatDir(folder, fileBase + ".KEA"));
    if (!log.Create()) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = "Cannot create the log " + log.Failure();
        return result;
    }
    result.logPath = log.DosPath();
    kea.Create();

    kea.WriteLine("[APP]");
    kea.WriteLine("Name=" + appName);
    kea.WriteLine("Lib=" + Logical(application.IsLibrary()));
    kea.WriteLine("DLL=" + Logical(application.IsDLL()));
    kea.WriteLine("Desc=" + application.Description());
    kea.WriteLine("Exp=" + application.FullPath());
    kea.WriteLine("Exe=" + application.ExeName());
    kea.WriteLine("Group=" + application.GroupName());
    kea.WriteLine("Debug=" + Logical(application.Debug()));
    kea.WriteLine("Libraries=" + KivArray2String(application.LibraryNameList(), ","));
    kea.WriteLine("UDC=" + KivArray2String(application.UDCNameList(), ","));
    kea.WriteLine("CH=" + KivArray2String(application.CHNameList(), ","));
    kea.WriteLine("");

    const auto modules = application.ModuleList();
    log.WriteLine("Exporting Application has external modules.");
    log.WriteLine("Application : " + appName);
    log.WriteLine("Module Count: " + std::to_string(modules.size()) + "\r\n");

    progress.SetRange(0, 1, static_cast<uint32_t>(modules.size()));
    std::set<std::string> usedNames;
    bool cancelled = false;
    kea.Flush();
    std::string failure = kea.Failed() ? kea.Failure() : std::string();
    for (size_t i = 0; i < modules.size() && !cancelled && failure.empty(); ++i) {
        const auto& module = modules[i];
        const std::string name = module->Name();
        progress.SetPosition(0, static_cast<uint32_t>(i + 1));
        progress.SetText(0, name);
        if (progress.CancelRequested()) {
            cancelled = true;
            break;
        }
        const std::string prgBase = UniqueFileBase(KivSafeFileName(name), usedNames);
        kea.WriteLine("[Module" + Number3(i + 1) + "]");
        kea.WriteLine("Name=" + name);
        kea.WriteLine("PRG=" + prgBase + ".Prg");
        kea.WriteLine("");

        const auto entities = module->EntityList();
        log.WriteLine("   Module " + Number3(i + 1) + " : " + name);
        log.WriteLine("   Entities Found : " + std::to_string(entities.size()));
        if (!module->Success()) {
            ++result.errors;
            log.WriteLine("-->Error reading the entities: " + module->ErrorString());
        }

        std::string source;
        size_t saved = 0;
        if (!ModuleSource(entities, progress, source, saved)) {
            cancelled = true;
            break;
        }

        log.WriteLine("   Entities Saved : " + std::to_string(saved));
        if (saved != entities.size())
            log.WriteLine("-->Missing Entities:" + std::to_string(entities.size() - saved));
        log.WriteLine("");

        KivLineWriter prg(KivConcatDir(folder, prgBase + ".prg"));
        prg.Create();
        prg.WriteText(source);
        // The module's lines go to disk before the information file's state is asked.
        kea.Flush();
        log.Flush();
        if (!prg.Close())
            failure = prg.Failure();
        else if (kea.Failed())
            failure = kea.Failure();
    }

    if (failure.empty() && kea.Failed())
        failure = kea.Failure();
    if (!failure.empty()) {
        ++result.errors;
        log.WriteLine("-->Error writing " + failure);
    }
    kea.Close();
    if (!log.Close() && failure.empty())
        failure = log.Failure();

    if (!failure.empty()) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = "Error writing " + failure;
    } else if (cancelled) {
        result.outcome = KivTransferOutcome::Cancelled;
    } else if (result.errors > 0) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = "Not every module could be read; see the log.";
    }
    return result;
}
