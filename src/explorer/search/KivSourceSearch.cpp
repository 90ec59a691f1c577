#include "explorer/search/KivSourceSearch.h"

#include "explorer/search/KivEntityCatalogue.h"
#include "repository/KivVOEntity.h"

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
    // counted up to each match. Both loops are the compiler's to vectorise, and memmem skips
    // ahead where a search for the first letter would stop at every one of it.
    m_buffer.resize(text.size());
    const char* in = text.data();
    char* out = m_buffer.data();
    for (size_t i = 0, n = text.size(); i < n; ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        out[i] = static_cast<char>(c + (static_cast<unsigned char>(c - 'A') < 26 ? 32 : 0));
    }
    const std::string_view lower(m_buffer);
    const auto find = [&](size_t from) -> size_t {
        const void* hit = memmem(lower.data() + from, lower.size() - from, m_lower.data(), m_lower.size());
        return hit ? static_cast<size_t>(static_cast<const char*>(hit) - lower.data()) : std::string_view::npos;
    };
    size_t counted = 0;
    size_t at = find(0);
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
        at = find(end + 1);
    }
    return true;
}

KivSearchEnd KivFindInSources(KivVORepository& repository, const std::string& project,
                              const KivTextMatcher& matcher, KivProgress& progress,
                              const std::function<bool(const KivLineHit&)>& found,
                              KivEntityCatalogue& catalogue) {
    bool stopped = false;
    const bool complete =
        catalogue.Build(repository, project, &progress, [&](size_t index, const KivVOEntity& entity) {
            matcher.Lines(entity.Source(), [&](uint32_t line, std::string_view shown) {
                stopped = !found({index, line, std::string(shown)});
                return !stopped;
            });
            return !stopped;
        });
    if (stopped)
        return KivSearchEnd::Stopped;
    return complete ? KivSearchEnd::Done : KivSearchEnd::Cancelled;
}
