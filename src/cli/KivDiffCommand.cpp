#include "cli/KivDiffCommand.h"

#include "cli/KivJsonText.h"
#include "explorer/transfer/KivModuleCompare.h"
#include "explorer/transfer/KivUnifiedDiff.h"
#include "exportfiles/KivEntityAbstract.h"
#include "platform/KivDosPath.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <ostream>

namespace {

using kiv::cli::json;
using kiv::cli::Text;

constexpr std::string_view kRepoPrefix = "repo:";

// A side named repo:PROJECT/APP or repo:PROJECT/APP/MODULE, read from the repository.
KivCompareSide RepositorySide(std::optional<KivRepositorySession>& session, const std::string& address,
                              std::string& error) {
    const std::vector<std::string> parts = KivString2Array(address.substr(kRepoPrefix.size()), "/");
    if (parts.size() < 2 || parts.size() > 3 || parts[0].empty() || parts[1].empty() ||
        (parts.size() == 3 && parts[2].empty())) {
        error = "Not a repository address (repo:PROJECT/APP or repo:PROJECT/APP/MODULE): " + address;
        return {};
    }
    if (!session)
        session.emplace();
    if (!session->Success()) {
        error = "Failed to Initialize Repository !!\nAlready Open ?";
        return {};
    }
    KivVORepository& repository = *session->Repository();
    std::string project;
    for (const std::string& entry : repository.ProjectNameList())
        if (KivEqualsIgnoringCase(entry, parts[0]))
            project = entry;
    if (project.empty() || repository.CurrentProjectName(project).empty()) {
        error = "Project not found: " + parts[0];
        return {};
    }
    auto application = repository.CurrentProject() ? repository.CurrentProject()->ApplicationFind(parts[1])
                                                   : nullptr;
    if (!application) {
        error = "Application not found: " + parts[1];
        return {};
    }
    if (parts.size() == 2)
        return KivCompareSide::OfRepository(*application, address, error);
    auto module = std::dynamic_pointer_cast<KivVOModule>(application->ModuleFind(parts[2]));
    if (!module) {
        error = "Module not found: " + parts[2];
        return {};
    }
    return KivCompareSide::OfRepository(*module, address, error);
}

KivCompareSide Side(std::optional<KivRepositorySession>& session, const std::string& argument,
                    std::string& error) {
    if (argument.starts_with(kRepoPrefix))
        return RepositorySide(session, argument, error);
    KivCompareSide side = KivCompareSide::OfFile(kiv::dospath::ToDos(argument), error);
    side.label = argument;
    return side;
}

json Document(const KivModuleCompare& compare, const std::string& before, const std::string& after) {
    json doc;
    doc["old"] = Text(before);
    doc["new"] = Text(after);
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
            out += "Only in " + (module.change == KivChange::Added ? after : before) + ": module " + module.name +
                   "\n";
            continue;
        }
        for (const KivEntityChange& entity : module.entities) {
            const std::string path = module.name + "/" + entity.name;
            out += KivUnifiedDiff(entity.before ? KivComparedSource(*entity.before) : std::string(),
                                  entity.after ? KivComparedSource(*entity.after) : std::string(),
                                  path + "\t" + before, path + "\t" + after);
        }
    }
    return out;
}

} // namespace

void KivDiffCommand::Add(CLI::App& app) {
    m_diff = app.add_subcommand("diff", "Show what changed between two versions of an application or module");
    m_diff->add_option("OLD", m_old, "an AEF, MEF or PRG file, or repo:PROJECT/APP[/MODULE]")->required();
    m_diff->add_option("NEW", m_new, "an AEF, MEF or PRG file, or repo:PROJECT/APP[/MODULE]")->required();
    m_diff->add_flag("--text", m_text, "print the changed sources as unified diffs");
}

bool KivDiffCommand::Run(std::ostream& out, std::ostream& err, int& code) const {
    if (m_diff == nullptr || !*m_diff)
        return false;
    code = Diff(out, err);
    return true;
}

int KivDiffCommand::Diff(std::ostream& out, std::ostream& err) const {
    std::optional<KivRepositorySession> session;
    std::string error;
    const KivCompareSide before = Side(session, m_old, error);
    if (!error.empty()) {
        err << Text(error) << '\n';
        return 2;
    }
    const KivCompareSide after = Side(session, m_new, error);
    if (!error.empty()) {
        err << Text(error) << '\n';
        return 2;
    }
    KivSilentProgress progress;
    KivModuleCompare compare;
    compare.Run(before, after, progress);
    if (m_text)
        out << Text(UnifiedDiffs(compare, m_old, m_new));
    else
        out << Document(compare, m_old, m_new).dump(2) << '\n';
    return compare.Same() ? 0 : 1;
}
