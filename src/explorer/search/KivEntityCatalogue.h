#pragma once

#include "platform/KivSymbol.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class KivProgress;
class KivTextMatcher;
class KivVOEntity;
class KivVORepository;

// What the explorer's list shows for an entity: "Access:Name" style name and "Access" style type.
struct KivEntityRowText {
    std::string name;
    std::string type;
};

// The row text of an entity of that type and display name (KivEntityAbstract::Info).
KivEntityRowText KivEntityRowFor(KivSymbol type, std::string info);

// The row of an entity the explorer lists: visible, of engine type 1, 3 or 4, and of a type in
// `types`; nullopt for an entity the list leaves out.
std::optional<KivEntityRowText> KivEntityRow(const KivVOEntity& entity, const std::vector<KivSymbol>& types);

// One listed entity and where it lives. Texts are repository bytes.
struct KivEntityRef {
    std::string project;
    std::string application;
    std::string module;
    std::string name;
    std::string type;
    uint16_t appId = 0;
    uint32_t modId = 0;
    uint32_t entId = 0;
};

// Every entity the explorer would list, in the explorer's order (project, application, module,
// entity, each by name), taken in one walk over the repository. A snapshot: made when a search
// starts, so it is never older than that search.
class KivEntityCatalogue {
public:
    // Called with each entity as the walk adds it (its index and the repository's entity); false
    // stops the walk.
    using Visitor = std::function<bool(size_t, const KivVOEntity&)>;

    // Walks one project, or every project when `project` is empty, and leaves the current project
    // as it was. The progress (bar 0 counts projects, the text names the module) is asked about a
    // cancel once a module. False when the walk was cancelled or stopped, or a project could not
    // be read (the entities read so far stay).
    bool Build(KivVORepository& repository, const std::string& project, KivProgress* progress = nullptr,
               const Visitor& visit = {});
    void Add(KivEntityRef entity);

    const std::vector<KivEntityRef>& Entities() const { return m_entities; }

    // Indices of the entities whose name holds `part` (any case), best first: the whole name,
    // then names that begin with it, then names where it begins a word (after ':' or '_'), then
    // any other place; within each, shorter names first, then the catalogue's order. At most
    // `limit` of them; none for an empty part.
    std::vector<size_t> FindName(std::string_view part, size_t limit) const;

    // Indices of the entities whose name the matcher finds something in, in the catalogue's order.
    std::vector<size_t> MatchNames(const KivTextMatcher& matcher) const;

private:
    std::vector<KivEntityRef> m_entities;
    // The names in lower case, each followed by '\n', and where each begins: one buffer scanned
    // with one search per name keeps a find among 100,000 entities at a few milliseconds.
    std::string m_lowerNames;
    std::vector<uint32_t> m_starts;
};
