#include "explorer/search/KivSourceSearch.h"

#include "explorer/search/KivEntityCatalogue.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <regex>

namespace {

const std::array<char, 256>& LowerTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[static_cast<size_t>(c)] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        return t;
    }();
    return table;
}

std::string_view LineAt(std::string_view text, size_t begin, size_t& end) {
    end = text.find('\n', begin);
    if (end == std::string_view::npos)
        end = text.size();
    size_t last = end;
    if (last > begin && text[last - 1] == '\r')
        --last;
    return text.substr(begin, last - begin);
}

} // namespace

struct KivTextMatcher::Regex {
    std::regex expression;
};

KivTextMatcher::KivTextMatcher(const std::string& pattern, bool regex) {
    if (pattern.empty()) {
        m_error = "Nothing to search for";
        return;
    }
    if (!regex) {
        m_lower = pattern;
        const auto& table = LowerTable();
        for (char& c : m_lower)
            c = table[static_cast<unsigned char>(c)];
        return;
    }
    try {
        m_regex = std::make_unique<Regex>(
            Regex{std::regex(pattern, std::regex::ECMAScript | std::regex::icase | std::regex::optimize)});
    } catch (const std::regex_error& e) {
        m_error = std::string("Invalid regular expression: ") + e.what();
    }
}

KivTextMatcher::~KivTextMatcher() = default;
KivTextMatcher::KivTextMatcher(KivTextMatcher&&) noexcept = default;

bool KivTextMatcher::Lines(std::string_view text,
                           const std::function<bool(uint32_t, std::string_view)>& found) const {
    if (!IsValid())
        return true;
    uint32_t number = 1;
    if (m_regex) {
        for (size_t begin = 0; begin < text.size();) {
            size_t end = 0;
            const std::string_view line = LineAt(text, begin, end);
            if (std::regex_search(line.begin(), line.end(), m_regex->expression) && !found(number, line))
                return false;
            ++number;
            begin = end + 1;
        }
        return true;
    }
    // The whole text is lowered once and searched for the lowered pattern; lines are only
    // counted up to each match.
    const auto& table = LowerTable();
    m_buffer.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        m_buffer[i] = table[static_cast<unsigned char>(text[i])];
    const std::string_view lower(m_buffer);
    size_t counted = 0;
    size_t at = lower.find(m_lower);
    while (at != std::string_view::npos) {
        number += static_cast<uint32_t>(std::count(lower.begin() + static_cast<std::ptrdiff_t>(counted),
                                                   lower.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        const size_t lineStart = at == 0 ? 0 : lower.rfind('\n', at - 1) + 1;
        size_t end = 0;
        const std::string_view line = LineAt(text, lineStart, end);
        if (!found(number, line))
            return false;
        if (end >= text.size())
            break;
        counted = end;
        at = lower.find(m_lower, end + 1);
    }
    return true;
}

std::string KivEntitySource(const KivEntityRef& entity) {
    auto app = std::make_shared<KivVOApplication>(entity.project, entity.appId);
    auto module = std::make_shared<KivVOModule>(app, entity.modId);
    return KivVOEntity(module, entity.entId).Source();
}

KivSearchEnd KivSearchSources(const std::vector<KivEntityRef>& entities, const KivTextMatcher& matcher,
                              KivProgress& progress, const std::function<bool(const KivLineHit&)>& found,
                              const KivSourceReader& source) {
    auto repository = KivGetRepoObject();
    const std::string current = repository ? repository->CurrentProjectName() : std::string();
    progress.SetRange(0, 0, static_cast<uint32_t>(entities.size()));
    KivSearchEnd end = KivSearchEnd::Done;
    // One module object per module walked, made when the walk enters it.
    std::shared_ptr<KivVOModule> module;
    const KivEntityRef* moduleOf = nullptr;
    for (size_t i = 0; i < entities.size() && end == KivSearchEnd::Done; ++i) {
        const KivEntityRef& entity = entities[i];
        if (i % 64 == 0) {
            progress.SetPosition(0, static_cast<uint32_t>(i));
            if (progress.CancelRequested()) {
                end = KivSearchEnd::Cancelled;
                break;
            }
        }
        std::string text;
        if (source) {
            text = source(entity);
        } else {
            if (!moduleOf || moduleOf->modId != entity.modId || moduleOf->appId != entity.appId ||
                moduleOf->project != entity.project) {
                auto app = std::make_shared<KivVOApplication>(entity.project, entity.appId);
                module = std::make_shared<KivVOModule>(app, entity.modId);
                moduleOf = &entity;
            }
            text = KivVOEntity(module, entity.entId).Source();
        }
        matcher.Lines(text, [&](uint32_t line, std::string_view shown) {
            if (found({i, line, std::string(shown)}))
                return true;
            end = KivSearchEnd::Stopped;
            return false;
        });
    }
    if (end == KivSearchEnd::Done)
        progress.SetPosition(0, static_cast<uint32_t>(entities.size()));
    if (repository && !current.empty())
        repository->CurrentProjectName(current);
    return end;
}
