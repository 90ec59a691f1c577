#include "cli/KivCliCommands.h"
#include "cli/KivCliContext.h"
#include "cli/KivConsoleProgress.h"
#include "cli/KivJsonText.h"
#include "explorer/transfer/KivMefTransfer.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"

#include <CLI/CLI.hpp>

namespace {

using kiv::cli::json;
using kiv::cli::Text;

struct Options : KivCliOptions {
    std::vector<std::string> paths;
    bool prg = false;
};

json Files(const std::vector<KivMefFileOutcome>& files) {
    json list = json::array();
    for (const KivMefFileOutcome& file : files) {
        json entry;
        KivCliContext::PutPath(entry, "file", file.file);
        entry["module"] = Text(file.module);
        if (file.error.empty())
            entry["entities"] = file.entities;
        else
            entry["error"] = Text(file.error);
        list.push_back(std::move(entry));
    }
    return list;
}

int ImportMef(const Options& o, KivCliContext& context) {
    std::string missing;
    const std::vector<std::string> files = KivMefImport::FilesOf(o.paths, missing);
    if (!missing.empty())
        return context.Fail("No such file or folder: ", missing);
    context.Prompt();
    auto project = context.OpenProject(o.project);
    if (!project)
        return 1;
    KivConsoleProgress progress("Importing modules");
    KivMefImport import;
    const KivTransferResult result = import.Run(*project, o.application, files, progress);
    progress.End();
    json doc;
    doc["application"] = Text(import.Application() ? import.Application()->Name() : o.application);
    doc["files"] = Files(import.Files());
    return context.Finish(result, std::move(doc));
}

int ExportMef(const Options& o, KivCliContext& context) {
    context.Prompt();
    auto application = context.OpenApplication(o.project, o.application);
    if (!application)
        return 1;
    KivConsoleProgress progress("Exporting modules");
    KivMefExport exporter;
    const KivTransferResult result = exporter.Run(*application, o.dir, o.prg, progress);
    progress.End();
    json doc;
    KivCliContext::PutPath(doc, "folder", KivMefExport::OutputFolder(o.dir, application->Name()));
    doc["files"] = Files(exporter.Files());
    json stale = json::array();
    for (const std::string& file : exporter.Stale())
        stale.push_back(KivCliContext::Host(file));
    doc["stale"] = std::move(stale);
    return context.Finish(result, std::move(doc));
}

} // namespace

// kivrepo's commands for source-control folders of MEF files: import-mef brings MEF files (or
// every MEF of a folder) into an application as its modules, export-mef writes one MEF per
// module (and with --prg its PRG source beside it).
void KivAddMefCommands(CLI::App& app, KivCliContext& context) {
    using Ctx = KivCliContext;
    auto& o = context.Keep<Options>();
    auto* importMef = context.Add(app, "import-mef",
                                  "Bring MEF files, or every MEF of a folder, in as modules", ImportMef, o);
    o.AddApplication(importMef, "APP", "the application (made as an executable when missing)");
    Ctx::Path(importMef->add_option("PATH", o.paths, "MEF files or folders (every *.MEF, in name order)")
                  ->required());

    auto* exportMef =
        context.Add(app, "export-mef", "Write one MEF file per module into DIR/APP", ExportMef, o);
    o.AddApplication(exportMef, "APP", "the application");
    Ctx::Path(exportMef->add_option("DIR", o.dir, "the base folder; the files go to DIR/APP")->required());
    exportMef->add_flag("--prg", o.prg, "write each module's source as MODULE.prg beside its MEF");
}
