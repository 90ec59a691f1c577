#include "cli/KivMefCommands.h"

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

} // namespace

void KivMefCommands::Add(CLI::App& app, KivCliContext& context) {
    using Ctx = KivCliContext;
    auto* importMef = context.Add(app, "import-mef", "Bring MEF files, or every MEF of a folder, in as modules",
                                  [this](KivCliContext& c) { return ImportMef(c); });
    Ctx::Text(importMef->add_option("APP", m_application, "the application (made as an executable when missing)")
                  ->required());
    Ctx::Path(importMef->add_option("PATH", m_paths, "MEF files or folders (every *.MEF, in name order)")
                  ->required());
    Ctx::Text(importMef->add_option("--project", m_project, "the project (default: the current one)"));

    auto* exportMef = context.Add(app, "export-mef", "Write one MEF file per module into DIR/APP",
                                  [this](KivCliContext& c) { return ExportMef(c); });
    Ctx::Text(exportMef->add_option("APP", m_application, "the application")->required());
    Ctx::Path(exportMef->add_option("DIR", m_dir, "the base folder; the files go to DIR/APP")->required());
    Ctx::Text(exportMef->add_option("--project", m_project, "the project (default: the current one)"));
    exportMef->add_flag("--prg", m_prg, "write each module's source as MODULE.prg beside its MEF");
}

int KivMefCommands::ImportMef(KivCliContext& context) const {
    std::string missing;
    const std::vector<std::string> files = KivMefImport::FilesOf(m_paths, missing);
    if (!missing.empty())
        return context.Fail("No such file or folder: ", missing);
    context.Prompt();
    auto project = context.OpenProject(m_project);
    if (!project)
        return 1;
    KivConsoleProgress progress("Importing modules");
    KivMefImport import;
    const KivTransferResult result = import.Run(*project, m_application, files, progress);
    progress.End();
    json doc;
    doc["application"] = Text(import.Application() ? import.Application()->Name() : m_application);
    doc["files"] = Files(import.Files());
    return context.Finish(result, std::move(doc));
}

int KivMefCommands::ExportMef(KivCliContext& context) const {
    context.Prompt();
    auto project = context.OpenProject(m_project);
    if (!project)
        return 1;
    auto application = context.Application(*project, m_application);
    if (!application)
        return 1;
    KivConsoleProgress progress("Exporting modules");
    KivMefExport exporter;
    const KivTransferResult result = exporter.Run(*application, m_dir, m_prg, progress);
    progress.End();
    json doc;
    KivCliContext::PutPath(doc, "folder", KivMefExport::OutputFolder(m_dir, application->Name()));
    doc["files"] = Files(exporter.Files());
    json stale = json::array();
    for (const std::string& file : exporter.Stale())
        stale.push_back(KivCliContext::Host(file));
    doc["stale"] = std::move(stale);
    return context.Finish(result, std::move(doc));
}
