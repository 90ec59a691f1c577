#include "cli/KivCliCommands.h"
#include "cli/KivCliContext.h"
#include "platform/KivDosPath.h"
#include "repository/KivDemoRepository.h"
#include "repository/KivVORepository.h"

#include <CLI/CLI.hpp>

namespace {

int Load(const KivCliOptions& o, KivCliContext& context) {
    if (!context.Open())
        return 1;
    const KivDemoLoad load = KivLoadDemoRepository(o.dir);
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
    KivCliContext::PutPath(doc, "folder", o.dir);
    return context.Print(doc);
}

} // namespace

// kivrepo load-demo [DIR]: fills an empty repository with the demo project from a samples
// folder (by default the checkout's samples/), and leaves the demo's project current.
void KivAddDemoCommand(CLI::App& app, KivCliContext& context) {
    auto& o = context.Keep<KivCliOptions>();
    o.dir = kiv::dospath::FromTyped(KivDemoSamplesDir());
    auto* command = context.Add(app, "load-demo", "Fill an empty repository with the demo project", Load, o);
    KivCliContext::Path(
        command->add_option("DIR", o.dir, "the samples folder holding demo.ini (DOS or host form)")
            ->default_str(KivDemoSamplesDir()));
}
