#include "explorer/search/KivEntityCatalogue.h"
#include "explorer/search/KivSourceSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

KivEntityCatalogue Names(const std::vector<std::string>& names) {
    KivEntityCatalogue catalogue;
    uint32_t id = 0;
    for (const std::string& name : names)
        catalogue.Add({"P", "A", "M", name, "Function", 1, 1, ++id});
    return catalogue;
}

std::vector<std::string> Found(const KivEntityCatalogue& catalogue, const std::string& part,
                               size_t limit = 100) {
    std::vector<std::string> names;
    for (size_t index : catalogue.FindName(part, limit))
        names.push_back(catalogue.Entities()[index].name);
    return names;
}

using Lines = std::vector<std::pair<uint32_t, std::string>>;

Lines Matching(const std::string& pattern, bool regex, std::string_view text) {
    Lines lines;
    KivTextMatcher(pattern, regex).Lines(text, [&](uint32_t number, std::string_view line) {
        lines.emplace_back(number, std::string(line));
        return true;
    });
    return lines;
}

} // namespace

TEST(KivEntityCatalogueTest, FindsNamePartsBestFirst) {
    const KivEntityCatalogue catalogue = Names(
        {"Reprint", "Order:Print", "PrintAll", "print", "Sprint_Print", "PRINTER", "Paint", "Print_Order"});
    // Whole name, then beginning (shorter first), then a word's beginning, then elsewhere; any case.
    EXPECT_EQ(Found(catalogue, "PRINT"),
              (std::vector<std::string>{"print", "PRINTER", "PrintAll", "Print_Order", "Order:Print",
                                        "Sprint_Print", "Reprint"}));
    EXPECT_EQ(Found(catalogue, "print", 2), (std::vector<std::string>{"print", "PRINTER"}));
    EXPECT_EQ(Found(catalogue, "order"), (std::vector<std::string>{"Order:Print", "Print_Order"}));
    EXPECT_EQ(Found(catalogue, "r:p"), (std::vector<std::string>{"Order:Print"}));
    EXPECT_TRUE(Found(catalogue, "").empty());
    EXPECT_TRUE(Found(KivEntityCatalogue(), "x").empty());
}

TEST(KivTextMatcherTest, ListsMatchingLinesByNumber) {
    const std::string source =
        "FUNCTION Total()\r\n\tLOCAL n := 0\r\nRETURN n + total\r\n// Total again\nlast TOTAL";
    struct Case {
        std::string pattern;
        bool regex;
        Lines lines;
    };
    const Case cases[] = {
        // Each line once however often it matches; CR LF and LF both end lines; the last line
        // needs no end.
        {"total",
         false,
         {{1, "FUNCTION Total()"}, {3, "RETURN n + total"}, {4, "// Total again"}, {5, "last TOTAL"}}},
        {"local n", false, {{2, "\tLOCAL n := 0"}}},
        {"^return\\b", true, {{3, "RETURN n + total"}}},
        {"t[o]tal\\(", true, {{1, "FUNCTION Total()"}}},
        {"nowhere", false, {}},
        // Pattern characters mean themselves in a plain text.
        {"n + total", false, {{3, "RETURN n + total"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Matching(c.pattern, c.regex, source), c.lines) << c.pattern;
    EXPECT_TRUE(Matching("x", false, "").empty());

    // A plain text at every place of a long line, in any case, and never where one byte of it
    // differs: its first, one inside or its last.
    for (size_t at = 0; at + 6 <= 40; ++at) {
        std::string line(40, '.');
        line.replace(at, 6, "NeEdLe");
        EXPECT_EQ(Matching("needle", false, "x\n" + line + "\ny"), (Lines{{2, line}})) << at;
        for (size_t wrong : {0, 2, 5}) {
            std::string near = line;
            near[at + wrong] = 'x';
            EXPECT_TRUE(Matching("needle", false, near).empty()) << at << " " << wrong;
        }
    }
    // Only ASCII letters match their other case.
    EXPECT_TRUE(Matching("[a`", false, "{A@").empty());
    EXPECT_TRUE(Matching("\xE4", false, "\xC4").empty());

    EXPECT_FALSE(KivTextMatcher("", false).IsValid());
    const KivTextMatcher broken("(unclosed", true);
    EXPECT_FALSE(broken.IsValid());
    EXPECT_NE(broken.Error().find("regular expression"), std::string::npos);
}
