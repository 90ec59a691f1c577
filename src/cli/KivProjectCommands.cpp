#include "cli/KivCliCommands.h"
#include "cli/KivCliContext.h"
#include "cli/KivConsoleProgress.h"
#include "cli/KivJsonText.h"
#include "explorer/transfer/KivProjectExport.h"
#include "explorer/transfer/KivProjectImport.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivPathUtil.h"

#include <CLI/CLI.hpp>

#include <vector>

using kiv::cli::json;
using kiv::cli::Text;

namespace {

struct Options : KivCliOptions {
    std::string path;
    bool createPath = false;
};

int ExportProject(const Options& o, KivCliContext& context) {
    context.Prompt();
    auto project = context.OpenProject(o.project);
    if (!project)
        return 1;
    // As export-all does: a base folder typed for the export is made when missing.
    KivDirMake(o.dir);
    KivConsoleProgress progress;
    KivProjectExport run(project, progress);
    const KivTransferResult result = run.Run(o.dir, o.abortOnError);
    progress.End();
    json doc;
    doc["project"] = Text(project->Name());
    doc["exported"] = run.Exported();
    return context.Finish(result, std::move(doc));
}

int ExportAll(const Options& o, KivCliContext& context) {
    context.Prompt();
    if (!context.Open())
        return 1;
    KivConsoleProgress progress;
    std::vector<KivTransferResult> each;
    const KivTransferResult result =
        KivExportAllProjects(context.Repository(), o.dir, o.abortOnError, progress, &each);
    progress.End();
    json projects = json::array();
    for (const KivTransferResult& one : each) {
        json item;
        item["outcome"] = KivTransferOutcomeName(one.outcome);
        if (!one.logPath.empty())
            KivCliContext::PutPath(item, "log", one.logPath);
        if (!one.Done() && !one.message.empty())
            item["message"] = Text(one.message);
        projects.push_back(std::move(item));
    }
    json doc;
    doc["projects"] = std::move(projects);
    KivTransferResult overall = result;
    overall.logPath.clear();
    return context.Finish(overall, std::move(doc));
}

int ImportProject(const Options& o, KivCliContext& context) {
    context.Prompt();
    KivProjectImportPlan plan;
    if (!plan.Read(o.file))
        return context.Fail("Cannot find the file ", o.file);
    if (!context.Open())
        return 1;
    KivVORepository& repository = context.Repository();
    const std::string name = o.name.empty() ? plan.name : o.name;
    const std::string path = o.path.empty() ? plan.path : o.path;
    KivMessageQuestion question;
    const KivProjectTargetCheck check =
        KivCheckProjectTarget(name, path, repository.ProjectNameList(), o.createPath, question);
    KivShowNotices(KivProjectTargetNotices(check));
    switch (check) {
    case KivProjectTargetCheck::Ok:
        break;
    case KivProjectTargetCheck::Incomplete:
        return context.Fail("The project needs a name and a path (--name, --path).");
    case KivProjectTargetCheck::PathMissing:
        return context.Fail("The path does not exist: " + path + " (--create-path makes it)");
    default:
        return 1; // the message box said why
    }
    for (const KivProjectImportPlan::Entry& entry : plan.entries)
        if (!entry.present)
            context.Fail("Missing: " + entry.name + " (" +
                         (entry.aefPath.empty() ? entry.section : entry.aefPath) + ")");
    KivConsoleProgress progress;
    KivProjectImport import(repository, progress);
    const KivTransferResult result = import.Run(plan, name, path);
    progress.End();
    if (!import.Project())
        return context.Report(repository);
    json doc;
    doc["project"] = Text(name);
    KivCliContext::PutPath(doc, "folder", path);
    doc["imported"] = import.Imported();
    const int code = context.Finish(result, std::move(doc));
    if (!import.FailedApplication().empty())
        context.Fail(import.FailedApplication() + ": " + KivCliContext::ErrorText(*import.Project()));
    return code;
}

} // namespace

// kivrepo's project transfers: export-project, export-all and import-project. They write the
// same folders, AEF files, logs and information files as the explorer, and answer the questions
// the explorer would ask from their options (without one, as the explorer's preset answer).
void KivAddProjectCommands(CLI::App& app, KivCliContext& context) {
    using Ctx = KivCliContext;
    auto& o = context.Keep<Options>();
    auto* exportProject = context.Add(app, "export-project",
                                      "Export a project as AEF files with its .KPI and log into DIR\\PROJECT",
                                      ExportProject, o);
    Ctx::Path(exportProject->add_option("DIR", o.dir, "the base folder, made when missing (DOS or host form)")
                  ->required());
    o.AddProject(exportProject);
    exportProject->add_flag("--abort-on-error", o.abortOnError, "stop at the first application that fails");

    auto* exportAll = context.Add(app, "export-all",
                                  "Export every project, each into its own folder below DIR", ExportAll, o);
    Ctx::Path(exportAll->add_option("DIR", o.dir, "the base folder, made when missing (DOS or host form)")
                  ->required());
    exportAll->add_flag("--abort-on-error", o.abortOnError, "stop at the first application that fails");

    auto* importProject = context.Add(
        app, "import-project", "Create a project from a .KPI file and its AEF files", ImportProject, o);
    Ctx::Path(importProject->add_option("FILE", o.file, "the .KPI file (DOS or host form)")->required());
    Ctx::Text(
        importProject->add_option("--name", o.name, "the new project's name (default: the one in the file)"));
    Ctx::Path(importProject->add_option("--path", o.path, "its folder (default: the one in the file)"));
    importProject->add_flag("--create-path", o.createPath, "make the folder when it is missing");
}
