#include "cli/KivCliCommands.h"
#include "cli/KivCliContext.h"
#include "cli/KivConsoleProgress.h"
#include "cli/KivJsonText.h"
#include "explorer/transfer/KivModuleCompare.h"
#include "explorer/transfer/KivTransferResult.h"
#include "explorer/transfer/KivUnifiedDiff.h"
#include "exportfiles/KivEntityAbstract.h"
#include "platform/KivDosPath.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "support/KivStringUtil.h"
#include "platform/KivUtf8.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace {

using kiv::cli::json;
using kiv::cli::Text;

struct Options {
    std::string oldSide;
    std::string newSide;
    bool text = false;
};

constexpr std::string_view kRepoPrefix = "repo:";

bool IsAddress(const std::string& side) {
    return side.starts_with(kRepoPrefix);
}

// A side is a repository address, whose names go into Windows-1252, or a path, resolved as every
// path is.
CLI::Option* SideOption(CLI::Option* option) {
    return option->transform(CLI::Validator(
        [](std::string& side) {
            if (!IsAddress(side)) {
                side = kiv::dospath::FromTyped(side);
                return std::string();
            }
            auto bytes = KivUtf8ToAnsi(side);
            if (!bytes)
                return "\"" + side + "\" holds a character the repository's Windows-1252 cannot store";
            side = std::move(*bytes);
            return std::string();
        },
        ""));
}

// The side an argument names; empty `error` on success. The repository is opened for the first
// address; its failures have been told when `error` is "-".
KivCompareSide Side(KivCliContext& context, bool& opened, const std::string& side, std::string& error) {
    if (!IsAddress(side))
        return KivCompareSide::OfFile(side, error);
    const std::vector<std::string> parts = KivString2Array(side.substr(kRepoPrefix.size()), "/");
    if (parts.size() < 2 || parts.size() > 3 || parts[0].empty() || parts[1].empty() ||
        (parts.size() == 3 && parts[2].empty())) {
        error = "Not a repository address (repo:PROJECT/APP or repo:PROJECT/APP/MODULE): " + side;
        return {};
    }
    error = "-";
    if (!opened && !(opened = context.Open()))
        return {};
    auto project = context.Project(parts[0]);
    auto application = project ? context.Application(*project, parts[1]) : nullptr;
    if (!application)
        return {};
    error.clear();
    if (parts.size() == 2)
        return KivCompareSide::OfRepository(*application, side, error);
    auto module = std::dynamic_pointer_cast<KivVOModule>(application->ModuleFind(parts[2]));
    if (!module) {
        error = "Module not found: " + parts[2];
        return {};
    }
    return KivCompareSide::OfRepository(*module, side, error);
}

// How a side is shown: a repository address as given, a file in the host's form.
std::string Label(const std::string& side) {
    return IsAddress(side) ? Text(side) : KivCliContext::Host(side);
}

void PutSide(json& doc, const std::string& key, const std::string& side) {
    if (IsAddress(side))
        doc[key] = Text(side);
    else
        KivCliContext::PutPath(doc, key, side);
}

json Document(const KivModuleCompare& compare, const std::string& before, const std::string& after) {
    json doc;
    PutSide(doc, "old", before);
    PutSide(doc, "new", after);
    doc["same"] = compare.Same();
    json modules = json::array();
    for (const KivModuleChange& module : compare.Modules()) {
        json entry;
        entry["name"] = Text(module.name);
        if (!module.oldName.empty() && module.oldName != module.name)
            entry["oldName"] = Text(module.oldName);
        entry["change"] = KivChangeName(module.change);
        if (module.change != KivChange::Changed) {
            entry["entityCount"] = module.entityCount;
        } else {
            json entities = json::array();
            for (const KivEntityChange& entity : module.entities) {
                json item;
                item["name"] = Text(entity.name);
                item["change"] = KivChangeName(entity.change);
                if (entity.change == KivChange::Changed) {
                    item["prototype"] = entity.prototype;
                    item["source"] = entity.source;
                }
                entities.push_back(std::move(item));
            }
            entry["entities"] = std::move(entities);
        }
        modules.push_back(std::move(entry));
    }
    doc["modules"] = std::move(modules);
    return doc;
}

// The changed sources as unified diffs, one per entity; a module only one side has is named.
std::string UnifiedDiffs(const KivModuleCompare& compare, const std::string& before, const std::string& after) {
    std::string out;
    for (const KivModuleChange& module : compare.Modules()) {
        if (module.change != KivChange::Changed) {
            out += "Only in " + Label(module.change == KivChange::Added ? after : before) + ": module " +
                   Text(module.name) + "\n";
            continue;
        }
        for (const KivEntityChange& entity : module.entities) {
            const std::string path = Text(module.name) + "/" + Text(entity.name);
            out += KivUnifiedDiff(entity.before ? Text(KivComparedSource(*entity.before)) : std::string(),
                                  entity.after ? Text(KivComparedSource(*entity.after)) : std::string(),
                                  path + "\t" + Label(before), path + "\t" + Label(after));
        }
    }
    return out;
}

int Diff(const Options& o, KivCliContext& context) {
    context.Prompt();
    bool opened = false;
    std::string error;
    const KivCompareSide before = Side(context, opened, o.oldSide, error);
    if (!error.empty()) {
        if (error != "-")
            context.Fail(error);
        return 2;
    }
    const KivCompareSide after = Side(context, opened, o.newSide, error);
    if (!error.empty()) {
        if (error != "-")
            context.Fail(error);
        return 2;
    }
    KivConsoleProgress progress("Comparing");
    KivModuleCompare compare;
    const KivTransferResult result = compare.Run(before, after, progress);
    progress.End();
    // Stopped by Ctrl+C: what was compared so far is no answer, as trouble is none.
    if (result.outcome == KivTransferOutcome::Cancelled) {
        context.Fail("cancelled");
        return 2;
    }
    if (o.text)
        context.Out() << UnifiedDiffs(compare, o.oldSide, o.newSide);
    else
        context.Print(Document(compare, o.oldSide, o.newSide));
    return compare.Same() ? 0 : 1;
}

} // namespace

// kivrepo diff OLD NEW: what changed between two versions of an application or module, each an
// AEF, MEF or PRG file or a repository address (repo:PROJECT/APP or repo:PROJECT/APP/MODULE).
// Exit 0 when they are the same, 1 when they differ, 2 on a bad argument or unreadable file.
void KivAddDiffCommand(CLI::App& app, KivCliContext& context) {
    auto& o = context.Keep<Options>();
    auto* diff = context.Add(app, "diff",
                             "Show what changed between two versions of an application or module", Diff, o);
    SideOption(diff->add_option("OLD", o.oldSide, "an AEF, MEF or PRG file, or repo:PROJECT/APP[/MODULE]")
                   ->required());
    SideOption(diff->add_option("NEW", o.newSide, "an AEF, MEF or PRG file, or repo:PROJECT/APP[/MODULE]")
                   ->required());
    diff->add_flag("--text", o.text, "print the changed sources as unified diffs instead of the document");
}
