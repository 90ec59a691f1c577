#include "explorer/search/KivEntityCatalogue.h"

#include "explorer/search/KivSourceSearch.h"

#include "exportfiles/KivEntityText.h"
#include "repository/KivEntSymTypes.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <tuple>

namespace {

// "METHOD" -> "Method".
std::string FirstUpper(const std::string& name) {
    std::string text = KivLower(name);
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

} // namespace

KivEntityRowText KivEntityRowFor(KivSymbol type, std::string info) {
    static const KivSymbol access("ACCESS");
    static const KivSymbol assign("ASSIGN");
    KivEntityRowText row{std::move(info), FirstUpper(type.Name())};
    if (type == access || type == assign)
        row.name = row.type + ":" + row.name;
    return row;
}

std::optional<KivEntityRowText> KivEntityRow(const KivVOEntity& entity, const std::vector<KivSymbol>& types) {
    if (!entity.IsVisible())
        return std::nullopt;
    const uint32_t numType = entity.NumType();
    if (numType != 1 && numType != 3 && numType != 4)
        return std::nullopt;
    // Type and info as the entity gives them, from one reading of its prototype: a catalogue of
    // every entity would otherwise copy and take apart each prototype twice.
    const std::string prototype = entity.Prototype();
    const KivSymbol type = KivPrototypeType(prototype);
    if (std::find(types.begin(), types.end(), type) == types.end())
        return std::nullopt;
    return KivEntityRowFor(type, KivEntityInfo(prototype, type));
}

bool KivEntityCatalogue::Build(KivVORepository& repository, const std::string& project, KivProgress* progress,
                               const Visitor& visit) {
    const std::string current = repository.CurrentProjectName();
    std::vector<std::string> projects;
    for (const std::string& name : repository.ProjectNameList())
        if (project.empty() || KivEqualsIgnoringCase(name, project))
            projects.push_back(name);
    const std::vector<KivSymbol>& types = KivGetEntSymTypes();
    bool complete = true;
    if (progress)
        progress->SetRange(0, 0, static_cast<uint32_t>(projects.size()));
    uint32_t done = 0;
    for (const std::string& name : projects) {
        if (!complete)
            break;
        if (progress)
            progress->SetPosition(0, done++);
        auto prj = std::make_shared<KivVOProject>(name);
        prj->Selected(true);
        if (!prj->Success()) {
            complete = false;
            continue;
        }
        for (const auto& app : prj->ApplicationList()) {
            const std::string appName = app->Name();
            const uint16_t appId = app->ID();
            for (const auto& item : app->ModuleList()) {
                // Asked once a module: a cancel is then felt within a module's entities.
                if (progress) {
                    progress->SetText(0, name + " / " + app->Name() + " / " + item->Name());
                    if (progress->CancelRequested()) {
                        complete = false;
                        break;
                    }
                }
                auto module = std::static_pointer_cast<KivVOModule>(item);
                if (!module->IsVisible())
                    continue;
                const std::string moduleName = module->Name();
                const uint32_t modId = module->ID();
                for (const auto& entry : module->EntityList()) {
                    const auto& entity = static_cast<const KivVOEntity&>(*entry);
                    auto row = KivEntityRow(entity, types);
                    if (!row)
                        continue;
                    Add({name, appName, moduleName, std::move(row->name), std::move(row->type), appId, modId,
                         entity.ID()});
                    // The engine still holds this entity's record: its source costs no second read.
                    if (visit && !visit(m_entities.size() - 1, entity)) {
                        complete = false;
                        break;
                    }
                }
                if (!complete)
                    break;
            }
            if (!complete)
                break;
        }
    }
    repository.CurrentProjectName(current);
    return complete;
}

void KivEntityCatalogue::Add(KivEntityRef entity) {
    m_starts.push_back(static_cast<uint32_t>(m_lowerNames.size()));
    m_lowerNames += KivLower(entity.name);
    m_lowerNames += '\n';
    m_entities.push_back(std::move(entity));
}

std::vector<size_t> KivEntityCatalogue::FindName(std::string_view part, size_t limit) const {
    std::vector<size_t> found;
    if (part.empty() || limit == 0)
        return found;
    const std::string lower = KivLower(part);
    // (rank, length, index) of every match; the names themselves never hold '\n'.
    std::vector<std::tuple<int, uint32_t, size_t>> hits;
    const std::string_view all(m_lowerNames);
    size_t at = all.find(lower);
    while (at != std::string_view::npos) {
        const size_t index = static_cast<size_t>(
            std::upper_bound(m_starts.begin(), m_starts.end(), static_cast<uint32_t>(at)) - m_starts.begin() -
            1);
        const size_t start = m_starts[index];
        const size_t end = all.find('\n', start);
        const std::string_view name = all.substr(start, end - start);
        if (at + lower.size() <= end) {
            // The best place the part takes in this name decides its rank.
            int rank = 3;
            for (size_t pos = at - start; pos != std::string_view::npos; pos = name.find(lower, pos + 1)) {
                if (pos == 0) {
                    rank = name.size() == lower.size() ? 0 : 1;
                    break;
                }
                if (name[pos - 1] == ':' || name[pos - 1] == '_')
                    rank = std::min(rank, 2);
            }
            hits.emplace_back(rank, static_cast<uint32_t>(name.size()), index);
        }
        at = all.find(lower, end + 1);
    }
    const size_t count = std::min(limit, hits.size());
    std::partial_sort(hits.begin(), hits.begin() + static_cast<std::ptrdiff_t>(count), hits.end());
    found.reserve(count);
    for (size_t i = 0; i < count; ++i)
        found.push_back(std::get<2>(hits[i]));
    return found;
}

std::vector<size_t> KivEntityCatalogue::MatchNames(const KivTextMatcher& matcher) const {
    std::vector<size_t> found;
    for (size_t i = 0; i < m_entities.size(); ++i)
        matcher.Lines(m_entities[i].name, [&](uint32_t, std::string_view) {
            found.push_back(i);
            return false;
        });
    return found;
}
