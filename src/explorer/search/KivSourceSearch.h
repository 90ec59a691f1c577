#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class KivEntityCatalogue;
class KivProgress;
class KivVORepository;

// What a line search looks for: a plain text, or an ECMAScript regular expression; both without
// regard to case (ASCII letters).
class KivTextMatcher {
public:
    KivTextMatcher(const std::string& pattern, bool regex);
    ~KivTextMatcher();
    KivTextMatcher(KivTextMatcher&&) noexcept;

    // False for an empty pattern or a regular expression that does not compile; Error says why.
    bool IsValid() const { return m_error.empty(); }
    const std::string& Error() const { return m_error; }

    // Calls `found` with the number (from 1) and text (without its line end) of each line of
    // `text` that holds a match, in order, until it answers false. Lines end with LF or CR LF.
    // False when `found` stopped the walk.
    bool Lines(std::string_view text, const std::function<bool(uint32_t, std::string_view)>& found) const;

private:
    struct Regex;
    std::string m_lower;
    std::unique_ptr<Regex> m_regex;
    std::string m_error;
};

enum class KivSearchEnd { Done, Cancelled, Stopped };

// One matching line: the entity (an index into the searched list), the line number and its text.
struct KivLineHit {
    size_t entity;
    uint32_t line;
    std::string text;
};

// Walks the repository as KivEntityCatalogue::Build does (one project, or all when `project` is
// empty) and searches each entity's source as the walk reaches it, which spares a second read of
// every entity. `catalogue` receives the entities walked, which the hits' indices refer to.
KivSearchEnd KivFindInSources(KivVORepository& repository, const std::string& project,
                              const KivTextMatcher& matcher, KivProgress& progress,
                              const std::function<bool(const KivLineHit&)>& found,
                              KivEntityCatalogue& catalogue);
