#include "cli/KivCliCommands.h"
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

namespace {

struct Options : KivCliOptions {
    std::string existing = "delete";
    bool includeDlls = false;
};

int ExportApp(const Options& o, KivCliContext& context) {
    auto application = context.OpenApplication(o.project, o.application);
    if (!application)
        return 1;
    // Refused before anything is made, as the window refuses it before asking for the folder.
    if (application->IsSystemLibrary())
        return context.Fail("You can't export a System Library !");
    context.Prompt();
    KivAppExportOptions options;
    options.folder = o.dir;
    options.includeDlls = o.includeDlls;
    options.abortOnError = o.abortOnError;
    KivConsoleProgress progress;
    const KivTransferResult result = KivExportApp(*application, options, progress);
    progress.End();
    KivShowNotices(result.notices);
    json doc;
    doc["project"] = Text(application->Owner()->Name());
    doc["application"] = Text(application->Name());
    return context.Finish(result, std::move(doc));
}

int ImportApp(const Options& o, KivCliContext& context) {
    // Reading a missing file would write the entries it looked for into a new one.
    if (!KivFileSpec(o.file).Find())
        return context.Fail("File not found: ", o.file);
    auto project = context.OpenProject(o.project);
    if (!project)
        return 1;
    KivAppImportPlan plan = KivPlanAppImport(o.file, *project);
    if (plan.fileAppName.empty())
        return context.Fail("No application in ", o.file);
    if (!o.rename.empty()) {
        plan.existing = project->ApplicationNameList();
        if (!plan.Rename(o.rename) && !(o.rename == plan.appName && !plan.appExists))
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
    const auto choice = o.existing == "keep"    ? KivExistingChoice::Keep
                        : o.existing == "merge" ? KivExistingChoice::Merge
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

} // namespace

// kivrepo's application transfers with implicants: export-app writes an application and every
// library it depends on with their .KAI and log, import-app reads such a folder back. They do
// the window's work and answer its questions from their options.
void KivAddAppTransferCommands(CLI::App& app, KivCliContext& context) {
    using Ctx = KivCliContext;
    auto& o = context.Keep<Options>();
    auto* exportApp = context.Add(
        app, "export-app",
        "Write an application and every library it uses as AEF files with a .KAI and a log into DIR\\APP",
        ExportApp, o);
    o.AddApplication(exportApp, "APP", "the application's name");
    Ctx::Path(exportApp->add_option("DIR", o.dir, "the base folder (DOS or host form)")->required());
    exportApp->add_flag("--include-dlls", o.includeDlls, "write the DLL form of each AEF");
    exportApp->add_flag("--abort-on-error", o.abortOnError, "stop at the first AEF that cannot be written");

    auto* importApp =
        context.Add(app, "import-app",
                    "Import the libraries a .KAI lists, then its application, into a project", ImportApp, o);
    Ctx::Path(importApp->add_option("FILE", o.file, "the .KAI file (DOS or host form)")->required());
    o.AddProject(importApp);
    Ctx::Text(importApp->add_option("--rename", o.rename, "import the application under this name"));
    importApp->add_option("--existing", o.existing, "libraries the project holds already (default: delete)")
        ->check(CLI::IsMember({"delete", "keep", "merge"}));
}
