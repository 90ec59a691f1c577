#include "cli/KivDemoCommand.h"

#include "cli/KivCliContext.h"
#include "platform/KivDosPath.h"
#include "repository/KivDemoRepository.h"
#include "repository/KivVORepository.h"

#include <CLI/CLI.hpp>

void KivDemoCommand::Add(CLI::App& app, KivCliContext& context) {
    m_dir = kiv::dospath::FromTyped(KivDemoSamplesDir());
    auto* command = context.Add(app, "load-demo", "Fill an empty repository with the demo project",
                                [this](KivCliContext& c) { return Load(c); });
    KivCliContext::Path(
        command->add_option("DIR", m_dir, "the samples folder holding demo.ini (DOS or host form)")
            ->default_str(KivDemoSamplesDir()));
}

int KivDemoCommand::Load(KivCliContext& context) const {
    if (!context.Open())
        return 1;
    const KivDemoLoad load = KivLoadDemoRepository(m_dir);
    if (!load.success)
        return context.Fail(load.error);
    kiv::cli::json doc;
    // A repository that holds applications already is left alone.
    doc["loaded"] = load.loaded;
    if (load.loaded) {
        // The demo's project stays current, so that the explorer opens on it.
        context.Repository().DefaultProjectName(load.project);
        doc["project"] = kiv::cli::Text(load.project);
    }
    KivCliContext::PutPath(doc, "folder", m_dir);
    return context.Print(doc);
}
