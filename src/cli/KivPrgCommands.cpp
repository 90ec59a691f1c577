#include "cli/KivCliCommands.h"
#include "cli/KivCliContext.h"
#include "cli/KivConsoleProgress.h"
#include "cli/KivJsonText.h"
#include "explorer/transfer/KivDeleteProject.h"
#include "explorer/transfer/KivExportPath.h"
#include "explorer/transfer/KivIdeFolders.h"
#include "explorer/transfer/KivKeaPlan.h"
#include "explorer/transfer/KivPrgExport.h"
#include "explorer/transfer/KivPrgImport.h"
#include "explorer/transfer/KivRegExport.h"
#include "platform/KivDosPath.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivIDESettings.h"
#include "support/KivPathUtil.h"
#include "support/KivRegistry.h"
#include "support/KivStringUtil.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace {

using kiv::cli::json;
using kiv::cli::Text;

struct Options : KivCliOptions {
    std::string groups;
    bool yes = false;
};

json Items(const std::vector<KivKeaItem>& items) {
    json list = json::array();
    for (const KivKeaItem& item : items) {
        json entry;
        entry["name"] = Text(item.label);
        if (!item.file.empty())
            entry["file"] = KivCliContext::Host(item.file);
        entry["missing"] = item.missing;
        list.push_back(std::move(entry));
    }
    return list;
}

int ExportPrg(const Options& o, KivCliContext& context) {
    context.Prompt(false);
    auto application = context.OpenApplication(o.project, o.application);
    if (!application)
        return 1;
    std::vector<KivNotice> refusal;
    if (!KivPrgExport::CanExport(application.get(), refusal)) {
        KivShowNotices(refusal);
        return 1;
    }
    KivConsoleProgress progress("Exporting to PRG files");
    const KivTransferResult result = KivPrgExport().Run(*application, o.dir, progress);
    progress.End();
    const std::string folder = KivPrgExport::OutputFolder(o.dir, application->Name());
    json doc;
    doc["folder"] = KivCliContext::Host(folder);
    json tail;
    tail["folderDos"] = Text(folder);
    return context.Finish(result, std::move(doc), tail);
}

int ImportPrg(const Options& o, KivCliContext& context) {
    context.Prompt(o.abortOnError);
    auto project = context.OpenProject(o.project);
    if (!project)
        return 1;
    const auto host = kiv::dospath::Resolve(o.file);
    std::error_code ec;
    if (!host || !std::filesystem::is_regular_file(*host, ec))
        return context.Fail("File not found: ", o.file);
    KivKeaPlan plan = KivKeaPlan::Read(o.file, *project, KivConcatDir(KivRootSetting(), "Bin"));
    if (plan.cAppName.empty())
        return context.Fail("No application in ", o.file);
    if (!o.rename.empty() && o.rename != plan.cAppName) {
        // Without a dialog, a name of the project is refused here as the dialog refuses it.
        plan.aExisting = project->ApplicationNameList();
        if (!plan.Rename(o.rename))
            return context.Fail("Application already exist: " + o.rename);
    }
    if (!plan.CanImport())
        return context.Fail("Application already exist: " + plan.cAppName + " (give --rename)");
    KivConsoleProgress progress("Importing PRG files");
    KivPrgImport import;
    KivMessageQuestion question;
    const KivTransferResult result = import.Run(plan, *project, progress, question);
    progress.End();
    KivShowNotices(result.notices);
    json doc;
    doc["application"] = Text(plan.cAppName);
    doc["modules"] = Items(plan.modules);
    doc["libraries"] = Items(plan.libraries);
    doc["udc"] = Items(plan.udcs);
    doc["ch"] = Items(plan.chs);
    return context.Finish(result, std::move(doc));
}

int SaveReg(const Options& o, KivCliContext& context) {
    KivRegExport::Choice choice{};
    if (KivEqualsIgnoringCase(KivAllTrim(o.groups), "all")) {
        choice.fill(true);
    } else {
        for (const std::string& part : KivString2Array(o.groups, ",")) {
            const std::string number = KivAllTrim(part);
            if (number.size() != 1 || number[0] < '1' || number[0] > '9') {
                context.Fail("--groups: numbers from 1 to 9 separated by commas, or all");
                return 2;
            }
            choice[static_cast<size_t>(number[0] - '1')] = true;
        }
    }
    if (std::find(choice.begin(), choice.end(), true) == choice.end()) {
        context.Fail("--groups: choose at least one group");
        return 2;
    }
    // The explorer reads its start folder before it asks for the file; the value this stores
    // belongs in the export as it does there.
    KivAefPathSetting();
    KivDirMake(KivPathUp(o.file));
    const KivTransferResult result = KivRegExport().Run(KivIDESettings(), choice, o.file);
    json doc;
    doc["file"] = KivCliContext::Host(o.file);
    json tail;
    tail["fileDos"] = Text(o.file);
    return context.Finish(result, std::move(doc), tail);
}

int ExportPath(const Options& o, KivCliContext& context) {
    auto project = context.OpenProject(o.project);
    if (!project)
        return 1;
    KivExportPath tool;
    const KivTransferResult result = tool.Run(*project, o.dir);
    json doc;
    doc["changed"] = tool.Changed();
    json tail;
    KivCliContext::PutPath(tail, "folder", o.dir);
    return context.Finish(result, std::move(doc), tail);
}

int DeleteProject(const Options& o, KivCliContext& context) {
    context.Prompt(o.yes);
    auto project = context.OpenProject(o.name);
    KivVORepository& repository = context.Repository();
    if (!project)
        return 1;
    const std::string name = project->Name();
    KivDeleteProject tool;
    KivMessageQuestion question;
    KivTransferResult result = tool.Run(repository, question);
    KivShowNotices(result.notices);
    // The end of the run makes the project of its start current again; when that is the one
    // just deleted, the neighbour takes its place.
    if (result.Done() && KivEqualsIgnoringCase(repository.DefaultProjectName(), name))
        repository.DefaultProjectName(tool.Neighbour());
    if (result.outcome == KivTransferOutcome::Cancelled)
        result.message = "Not deleted: confirm with --yes";
    json doc;
    doc["deleted"] = result.Done() ? json(Text(name)) : json();
    if (!tool.Neighbour().empty())
        doc["current"] = Text(tool.Neighbour());
    return context.Finish(result, std::move(doc));
}

} // namespace

// kivrepo's commands for the application transfer as external modules and the tools:
// export-prg, import-prg, save-reg, export-path and delete-project. They write the same files as
// the explorer; the questions the explorer asks are answered from the options.
void KivAddPrgCommands(CLI::App& app, KivCliContext& context) {
    using Ctx = KivCliContext;
    auto& o = context.Keep<Options>();
    auto* exportPrg = context.Add(app, "export-prg",
                                  "Write an application as PRG files with a .KEA and a log", ExportPrg, o);
    o.AddApplication(exportPrg, "APPNAME", "the application's name");
    Ctx::Path(
        exportPrg->add_option("DIR", o.dir, "the base folder; the files go to DIR/APPNAME")->required());

    auto* importPrg =
        context.Add(app, "import-prg", "Create an application of external modules from a .KEA", ImportPrg, o);
    Ctx::Path(
        importPrg->add_option("FILE", o.file, "the .KEA file; its PRG files lie beside it")->required());
    o.AddProject(importPrg);
    Ctx::Text(importPrg->add_option("--rename", o.rename, "create the application under this name"));
    importPrg->add_flag("--abort-on-error", o.abortOnError,
                        "stop at a module that cannot be created (default: go on with the next)");

    auto* saveReg =
        context.Add(app, "save-reg", "Write groups of the IDE settings as a REGEDIT4 file", SaveReg, o);
    Ctx::Path(saveReg->add_option("FILE", o.file, "the .reg file to write")->required());
    saveReg
        ->add_option("--groups", o.groups, "numbers of the groups, 1-9 in the dialog's order (1,3,7), or all")
        ->required();

    auto* exportPath = context.Add(app, "export-path",
                                   "Point every application's export file into one folder", ExportPath, o);
    Ctx::Path(exportPath->add_option("DIR", o.dir, "the folder")->required());
    o.AddProject(exportPath);

    auto* deleteProject =
        context.Add(app, "delete-project", "Delete a project; a neighbour becomes current", DeleteProject, o);
    Ctx::Text(deleteProject->add_option("NAME", o.name, "the project's name")->required());
    deleteProject->add_flag("--yes", o.yes, "confirm the deletion");
}
