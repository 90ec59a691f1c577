#include "cli/KivAppTransferCommands.h"

#include "cli/KivCliContext.h"
#include "cli/KivConsoleProgress.h"
#include "cli/KivJsonText.h"
#include "explorer/transfer/KivAppExport.h"
#include "explorer/transfer/KivAppImport.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivFileSpec.h"

#include <CLI/CLI.hpp>

using kiv::cli::json;
using kiv::cli::Text;

void KivAppTransferCommands::Add(CLI::App& app, KivCliContext& context) {
    using Ctx = KivCliContext;
    auto* exportApp = context.Add(
        app, "export-app",
        "Write an application and every library it uses as AEF files with a .KAI and a log into DIR\\APP",
        [this](KivCliContext& c) { return ExportApp(c); });
    Ctx::Text(exportApp->add_option("APP", m_application, "the application's name")->required());
    Ctx::Path(exportApp->add_option("DIR", m_dir, "the base folder (DOS or host form)")->required());
    Ctx::Text(exportApp->add_option("--project", m_project, "the project (default: the current one)"));
    exportApp->add_flag("--include-dlls", m_includeDlls, "write the DLL form of each AEF");
    exportApp->add_flag("--abort-on-error", m_abortOnError, "stop at the first AEF that cannot be written");

    auto* importApp = context.Add(app, "import-app",
                                  "Import the libraries a .KAI lists, then its application, into a project",
                                  [this](KivCliContext& c) { return ImportApp(c); });
    Ctx::Path(importApp->add_option("FILE", m_file, "the .KAI file (DOS or host form)")->required());
    Ctx::Text(importApp->add_option("--project", m_project, "the project (default: the current one)"));
    Ctx::Text(importApp->add_option("--rename", m_rename, "import the application under this name"));
    importApp->add_option("--existing", m_existing, "libraries the project holds already (default: delete)")
        ->check(CLI::IsMember({"delete", "keep", "merge"}));
}

int KivAppTransferCommands::ExportApp(KivCliContext& context) const {
    auto project = context.OpenProject(m_project);
    if (!project)
        return 1;
    auto application = context.Application(*project, m_application);
    if (!application)
        return 1;
    // Refused before anything is made, as the window refuses it before asking for the folder.
    if (application->IsSystemLibrary())
        return context.Fail("You can't export a System Library !");
    context.Prompt();
    KivAppExportOptions options;
    options.folder = m_dir;
    options.includeDlls = m_includeDlls;
    options.abortOnError = m_abortOnError;
    KivConsoleProgress progress;
    const KivTransferResult result = KivExportApp(*application, options, progress);
    progress.End();
    KivShowNotices(result.notices);
    json doc;
    doc["project"] = Text(project->Name());
    doc["application"] = Text(application->Name());
    return context.Finish(result, std::move(doc));
}

int KivAppTransferCommands::ImportApp(KivCliContext& context) const {
    // Reading a missing file would write the entries it looked for into a new one.
    if (!KivFileSpec(m_file).Find())
        return context.Fail("File not found: ", m_file);
    auto project = context.OpenProject(m_project);
    if (!project)
        return 1;
    KivAppImportPlan plan = KivPlanAppImport(m_file, *project);
    if (plan.fileAppName.empty())
        return context.Fail("No application in ", m_file);
    if (!m_rename.empty()) {
        plan.existing = project->ApplicationNameList();
        if (!plan.Rename(m_rename) && !(m_rename == plan.appName && !plan.appExists))
            return context.Fail("Application already exist.");
    }
    if (!plan.CanImport())
        return context.Fail("Application already exist.");
    json skipped = json::array();
    for (const KivAppImportLibrary& library : plan.libraries)
        if (library.state == KivAppImportLibrary::Missing) {
            context.Fail(library.name + ": AEF file missing, skipped: ", library.aef);
            skipped.push_back(Text(library.name));
        }

    context.Prompt();
    const auto choice = m_existing == "keep"    ? KivExistingChoice::Keep
                        : m_existing == "merge" ? KivExistingChoice::Merge
                                                : KivExistingChoice::Delete;
    KivConsoleProgress progress;
    KivMessageQuestion question;
    const KivTransferResult result = KivRunAppImport(plan, choice, *project, progress, question);
    progress.End();
    KivShowNotices(result.notices);
    json doc;
    doc["project"] = Text(project->Name());
    doc["application"] = Text(plan.appName);
    doc["skipped"] = std::move(skipped);
    return context.Finish(result, std::move(doc));
}
