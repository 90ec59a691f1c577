#include "cli/KivSearchCommand.h"

#include "cli/KivJsonText.h"
#include "explorer/search/KivEntityCatalogue.h"
#include "explorer/search/KivSourceSearch.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVORepository.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>

namespace {

using kiv::cli::json;
using kiv::cli::Text;

json Where(const KivEntityRef& entity) {
    json hit;
    hit["project"] = Text(entity.project);
    hit["application"] = Text(entity.application);
    hit["module"] = Text(entity.module);
    hit["entity"] = Text(entity.name);
    hit["type"] = Text(entity.type);
    return hit;
}

// Writes the document's head, then one hit a line, then its end: the hits are never all held.
class HitWriter {
public:
    HitWriter(std::ostream& out, const json& head) : m_out(out) {
        std::string text = head.dump(2);
        text.erase(text.find_last_not_of(" \n}") + 1);
        m_out << text << ",\n  \"hits\": [";
    }
    void Add(const json& hit) { m_out << (m_count++ == 0 ? "\n    " : ",\n    ") << hit.dump(); }
    void End() { m_out << (m_count == 0 ? "]\n}\n" : "\n  ]\n}\n"); }

private:
    std::ostream& m_out;
    size_t m_count = 0;
};

} // namespace

void KivSearchCommand::Add(CLI::App& app) {
    m_search = app.add_subcommand("search", "Find entities by name, or lines in their sources, as JSON");
    m_search->add_option("TEXT", m_text, "a part of a name, or with --source a text of a line")->required();
    m_search->add_option("--project", m_project, "only this project (default: every project)");
    m_search->add_flag("--source", m_source, "search the sources and print the matching lines");
    m_search->add_flag("--regex", m_regex, "TEXT is a regular expression");
}

bool KivSearchCommand::Run(std::ostream& out, std::ostream& err, int& code) const {
    if (m_search == nullptr || !*m_search)
        return false;
    code = Search(out, err);
    return true;
}

int KivSearchCommand::Search(std::ostream& out, std::ostream& err) const {
    const std::string& text = m_text;
    const KivTextMatcher matcher(text, m_regex);
    if (!matcher.IsValid()) {
        err << matcher.Error() << '\n';
        return 2;
    }
    KivRepositorySession session;
    if (!session.Success()) {
        err << "Failed to Initialize Repository !!\nAlready Open ?\n";
        return 1;
    }
    KivVORepository& repository = *session.Repository();
    std::string project;
    if (!m_project.empty()) {
        const auto names = repository.ProjectNameList();
        const auto found = std::find_if(names.begin(), names.end(), [this](const std::string& name) {
            return KivEqualsIgnoringCase(name, m_project);
        });
        if (found == names.end()) {
            err << "Project not found: " << m_project << '\n';
            return 1;
        }
        project = *found;
    }
    json head;
    head["text"] = m_text;
    head["regex"] = m_regex;
    head["source"] = m_source;
    head["project"] = Text(project);
    KivEntityCatalogue catalogue;
    if (m_source) {
        // The lines are written as the walk finds them.
        HitWriter writer(out, head);
        KivSilentProgress progress;
        const KivSearchEnd end = KivFindInSources(
            repository, project, matcher, progress,
            [&](const KivLineHit& hit) {
                json line = Where(catalogue.Entities()[hit.entity]);
                line["line"] = hit.line;
                line["text"] = Text(hit.text);
                writer.Add(line);
                return true;
            },
            catalogue);
        writer.End();
        if (end == KivSearchEnd::Done)
            return 0;
        err << "A project could not be read: " << repository.ErrorString() << '\n';
        return 1;
    }
    if (!catalogue.Build(repository, project)) {
        err << "A project could not be read: " << repository.ErrorString() << '\n';
        return 1;
    }
    HitWriter writer(out, head);
    const auto& entities = catalogue.Entities();
    for (size_t index : m_regex ? catalogue.MatchNames(matcher) : catalogue.FindName(text, entities.size()))
        writer.Add(Where(entities[index]));
    writer.End();
    return 0;
}
