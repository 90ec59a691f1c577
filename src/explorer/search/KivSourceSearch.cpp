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

// Whether the text at `at` holds the lowered pattern, its letters in either case.
bool HoldsAt(std::string_view text, size_t at, std::string_view lower) {
    const auto& table = LowerTable();
    for (size_t i = 0; i < lower.size(); ++i)
        if (table[static_cast<unsigned char>(text[at + i])] != lower[i])
            return false;
    return true;
}

// Where the lowered pattern first stands in the text from `from` on, in any case; npos if nowhere.
// Sixteen places are tried at once for the pattern's first, middle and last byte, and only where
// all three fit is the rest compared: a pass that reads the text once, where lowering it first
// would write a copy of every source searched.
size_t FindLowered(std::string_view text, size_t from, std::string_view lower) {
    using Block = unsigned char __attribute__((vector_size(16)));
    const size_t length = lower.size();
    if (length == 0 || text.size() < length || from > text.size() - length)
        return std::string_view::npos;
    const size_t lastStart = text.size() - length;
    // A byte fits a lowered letter when it equals it with bit 0x20 set; other bytes fit only themselves.
    struct Probe {
        size_t offset;
        Block fold;
        Block byte;
    };
    const auto splat = [](int byte) {
        Block block;
        std::memset(&block, byte, sizeof block);
        return block;
    };
    const auto probe = [&](size_t offset) {
        const char c = lower[offset];
        return Probe{offset, splat(c >= 'a' && c <= 'z' ? 0x20 : 0), splat(static_cast<unsigned char>(c))};
    };
    const Probe probes[] = {probe(0), probe(length / 2), probe(length - 1)};
    size_t at = from;
    for (; at + 16 <= lastStart + 1; at += 16) {
        Block fits = splat(0xFF);
        for (const Probe& p : probes) {
            Block bytes;
            std::memcpy(&bytes, text.data() + at + p.offset, sizeof bytes);
            fits &= (Block)((bytes | p.fold) == p.byte);
        }
        uint64_t halves[2];
        std::memcpy(halves, &fits, sizeof halves);
        if ((halves[0] | halves[1]) == 0)
            continue;
        for (size_t k = 0; k < 16; ++k)
            if (fits[k] && HoldsAt(text, at + k, lower))
                return at + k;
    }
    for (; at <= lastStart; ++at)
        if (HoldsAt(text, at, lower))
            return at;
    return std::string_view::npos;
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
    size_t counted = 0;
    size_t at = FindLowered(text, 0, m_lower);
    while (at != std::string_view::npos) {
        number += static_cast<uint32_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                                   text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        const size_t lineStart = at == 0 ? 0 : text.rfind('\n', at - 1) + 1;
        size_t end = 0;
        const std::string_view line = LineAt(text, lineStart, end);
        if (!found(number, line))
            return false;
        if (end >= text.size())
            break;
        counted = end;
        at = FindLowered(text, end + 1, m_lower);
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
