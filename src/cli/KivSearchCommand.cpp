#include "cli/KivCliCommands.h"
#include "cli/KivCliContext.h"
#include "cli/KivJsonText.h"
#include "explorer/search/KivEntityCatalogue.h"
#include "explorer/search/KivSourceSearch.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivProgress.h"

#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

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

// kivrepo search TEXT: the entities whose name holds TEXT (best matches first), or with --source
// the lines of their sources that hold it, over every project or one; --regex takes TEXT as a
// regular expression (names and lines then come in the repository's order). One JSON document,
// written hit by hit.
class KivSearchCommand {
public:
    void Add(CLI::App& app, KivCliContext& context);

private:
    // The exit code: 2 for a regular expression that does not compile.
    int Search(KivCliContext& context) const;

    std::string m_text;
    std::string m_project;
    bool m_source = false;
    bool m_regex = false;
};

} // namespace

void KivSearchCommand::Add(CLI::App& app, KivCliContext& context) {
    auto* search = context.Add(app, "search", "Find entities by name, or lines in their sources, as JSON",
                               [this](KivCliContext& c) { return Search(c); });
    KivCliContext::Text(
        search->add_option("TEXT", m_text, "a part of a name, or with --source a text of a line")
            ->required());
    KivCliContext::Text(
        search->add_option("--project", m_project, "only this project (default: every project)"));
    search->add_flag("--source", m_source, "search the sources and print the matching lines");
    search->add_flag("--regex", m_regex, "TEXT is a regular expression");
}

int KivSearchCommand::Search(KivCliContext& context) const {
    const KivTextMatcher matcher(m_text, m_regex);
    if (!matcher.IsValid()) {
        context.Err() << matcher.Error() << '\n';
        return 2;
    }
    if (!context.Open())
        return 1;
    KivVORepository& repository = context.Repository();
    std::string project;
    if (!m_project.empty()) {
        auto chosen = context.Project(m_project);
        if (!chosen)
            return 1;
        project = chosen->Name();
    }

    json head;
    head["text"] = Text(m_text);
    head["regex"] = m_regex;
    head["source"] = m_source;
    head["project"] = Text(project);
    KivEntityCatalogue catalogue;
    if (m_source) {
        // The lines are written as the walk finds them.
        HitWriter writer(context.Out(), head);
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
        return end == KivSearchEnd::Done ? 0 : context.Report(repository);
    }
    if (!catalogue.Build(repository, project))
        return context.Report(repository);
    HitWriter writer(context.Out(), head);
    const auto& entities = catalogue.Entities();
    for (size_t index : m_regex ? catalogue.MatchNames(matcher) : catalogue.FindName(m_text, entities.size()))
        writer.Add(Where(entities[index]));
    writer.End();
    return 0;
}

void KivAddSearchCommand(CLI::App& app, KivCliContext& context) {
    context.Keep<KivSearchCommand>().Add(app, context);
}
