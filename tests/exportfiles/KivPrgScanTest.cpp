#include "exportfiles/KivPrgScan.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

std::string Expurgate(std::string line, bool& inComment) {
    KivExpurgateLine(line, inComment);
    return line;
}

} // namespace

TEST(KivExpurgateLine, RemovesCommentsWithinALine) {
    bool inComment = false;
    EXPECT_EQ(Expurgate("a /* b */ c", inComment), "a  c");
    EXPECT_FALSE(inComment);
    EXPECT_EQ(Expurgate("/* CLASS Foo */", inComment), "");
    EXPECT_FALSE(inComment);
    EXPECT_EQ(Expurgate("/**/x", inComment), "x");
    EXPECT_EQ(Expurgate("", inComment), "");
    // A line comment's text is left alone, block comment marks included.
    EXPECT_EQ(Expurgate("a // b /* c */", inComment), "a // b /* c */");
    EXPECT_EQ(Expurgate("x := 1 // see /* below", inComment), "x := 1 // see /* below");
    EXPECT_FALSE(inComment);
    EXPECT_EQ(Expurgate("s := \"//\" /* c */ + t", inComment), "s := \"//\"  + t");
}

TEST(KivExpurgateLine, CarriesTheCommentAcrossLines) {
    bool inComment = false;
    EXPECT_EQ(Expurgate("x /* start", inComment), "x ");
    EXPECT_TRUE(inComment);
    EXPECT_EQ(Expurgate("CLASS Foo /* nested opener changes nothing", inComment), "");
    EXPECT_TRUE(inComment);
    EXPECT_EQ(Expurgate("end */ y", inComment), " y");
    EXPECT_FALSE(inComment);
    EXPECT_EQ(Expurgate("*/after", inComment), "*/after");
}

TEST(KivExpurgateLine, QuotesProtectCommentMarksOutsideAComment) {
    bool inComment = false;
    EXPECT_EQ(Expurgate("s := \"/* no comment */\"", inComment), "s := \"/* no comment */\"");
    EXPECT_FALSE(inComment);
    EXPECT_EQ(Expurgate("'/*' + x", inComment), "'/*' + x");
    EXPECT_FALSE(inComment);
    // One flag serves both quote kinds, so a " closes what a ' opened.
    EXPECT_EQ(Expurgate("'a\" /* c */", inComment), "'a\" ");
    EXPECT_FALSE(inComment);
}

TEST(KivExpurgateLine, QuoteInsideACommentIsCommentText) {
    bool inComment = true;
    EXPECT_EQ(Expurgate("'tis the end */ x", inComment), " x");
    EXPECT_FALSE(inComment);
    inComment = true;
    EXPECT_EQ(Expurgate("\" */", inComment), "");
    EXPECT_FALSE(inComment);
    inComment = false;
    EXPECT_EQ(Expurgate("/* don't */ y", inComment), " y");
    EXPECT_FALSE(inComment);
}

TEST(KivExpurgateLine, EachCharacterServesOneCommentMark) {
    // The "/" closing a comment does not open the next one: nothing to take back, no crash.
    bool inComment = false;
    EXPECT_EQ(Expurgate("/* a */*/", inComment), "*/");
    EXPECT_FALSE(inComment);
    inComment = true;
    EXPECT_EQ(Expurgate("*/*x", inComment), "*x");
    EXPECT_FALSE(inComment);
    // "/*/" opens a comment and does not close it.
    inComment = false;
    EXPECT_EQ(Expurgate("a /*/ b", inComment), "a ");
    EXPECT_TRUE(inComment);
    EXPECT_EQ(Expurgate("c */ d", inComment), " d");
    EXPECT_FALSE(inComment);
}

TEST(KivPrgScan, SplitSourceLines) {
    EXPECT_EQ(KivSplitSourceLines(""), Lines{});
    EXPECT_EQ(KivSplitSourceLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(KivSplitSourceLines("a\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(KivSplitSourceLines("a\r\n\r\nb\n\n"), (Lines{"a", "", "b", ""}));
    EXPECT_EQ(KivSplitSourceLines("\r\n"), (Lines{""}));
    EXPECT_EQ(KivSplitSourceLines("a\rb\r\r\n"), (Lines{"a\rb\r"}));
    EXPECT_EQ(KivSplitSourceLines(std::string("x\0y\n", 4)), (Lines{std::string("x\0y", 3)}));
}

TEST(KivPrgScan, JoinSourceLines) {
    const Lines lines{"one", "two", "three"};
    EXPECT_EQ(KivJoinSourceLines(lines, 1, 3), "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(KivJoinSourceLines(lines, 2, 2), "two\r\n");
    EXPECT_EQ(KivJoinSourceLines(lines, 0, 1), "one\r\n");
    EXPECT_EQ(KivJoinSourceLines(lines, 3, 99), "three\r\n");
    EXPECT_EQ(KivJoinSourceLines(lines, 3, 2), "");
    EXPECT_EQ(KivJoinSourceLines(lines, 4, UINT32_MAX), "");
    EXPECT_EQ(KivJoinSourceLines({}, 1, 1), "");
}

namespace {

void ExpectSpan(const KivPrgSpan& span, uint32_t first, uint32_t last, const std::string& prototype) {
    EXPECT_EQ(span.firstLine, first);
    EXPECT_EQ(span.lastLine, last);
    EXPECT_EQ(span.prototype, prototype);
}

} // namespace

TEST(KivPrgScan, EntitiesStartAtTheirFirstLine) {
    const Lines lines{"// header", "#include \"x.vh\"", "", "/* note */", "FUNCTION Start()",
                      "   ? 1",    "RETURN NIL"};
    auto spans = KivScanPrgLines(lines);
    ASSERT_EQ(spans.size(), 1u);
    ExpectSpan(spans[0], 5, 7, "FUNCTION Start (  )");
}

TEST(KivPrgScan, ConsecutiveEntityLines) {
    auto spans = KivScanPrgLines({"FUNCTION A()", "FUNCTION B()", "RETURN 1"});
    ASSERT_EQ(spans.size(), 2u);
    ExpectSpan(spans[0], 1, 1, "FUNCTION A (  )");
    ExpectSpan(spans[1], 2, 3, "FUNCTION B (  )");
}

TEST(KivPrgScan, BlockCommentsHideKeywords) {
    auto spans = KivScanPrgLines({"/* CLASS Foo */", "x := 1"});
    EXPECT_TRUE(spans.empty());
    spans = KivScanPrgLines({"FUNCTION A()", "/*", "CLASS Foo", "METHOD Bar() CLASS Foo", "*/", "RETURN 1"});
    ASSERT_EQ(spans.size(), 1u);
    ExpectSpan(spans[0], 1, 6, "FUNCTION A (  )");
    // The comment ends on a line that then begins an entity.
    spans = KivScanPrgLines({"/* a", "b */CLASS Foo", "x"});
    ASSERT_EQ(spans.size(), 1u);
    ExpectSpan(spans[0], 2, 3, "b */CLASS Foo");
}

TEST(KivPrgScan, CommentOpensAtAnyPlaceOfALine) {
    // Lines are searched for "/*" many bytes at a time: the mark is found at every place of lines
    // of many lengths, and "*/" or a lone "/" or "*" opens nothing.
    for (size_t size = 2; size <= 40; ++size) {
        for (size_t at = 0; at + 2 <= size; ++at) {
            for (const char* mark : {"/*", "*/", "/x", "x*"}) {
                std::string line(size, 'x');
                line.replace(at, 2, mark);
                const auto spans = KivScanPrgLines({"FUNCTION A()", line, "FUNCTION Hidden()", "*/"});
                EXPECT_EQ(spans.size(), mark == std::string("/*") ? 1u : 2u) << mark << " at " << at << " of " << size;
            }
        }
    }
}

TEST(KivPrgScan, LineCommentsAndLeadingCommentsKeepEntities) {
    auto spans = KivScanPrgLines({"FUNCTION A()", "x := 1 // see /* below", "FUNCTION B()", "RETURN 2"});
    ASSERT_EQ(spans.size(), 2u);
    ExpectSpan(spans[1], 3, 4, "FUNCTION B (  )");
    spans = KivScanPrgLines({"FUNCTION A()", "/* note */ FUNCTION B()", "RETURN 2"});
    ASSERT_EQ(spans.size(), 2u);
    ExpectSpan(spans[1], 2, 3, "FUNCTION B (  )");
}

TEST(KivPrgScan, QuoteInsideACommentDoesNotSwallowTheFile) {
    auto spans = KivScanPrgLines({"/*", "'quoted' remark */", "FUNCTION Lost()", "RETURN NIL"});
    ASSERT_EQ(spans.size(), 1u);
    ExpectSpan(spans[0], 3, 4, "FUNCTION Lost (  )");
    spans = KivScanPrgLines({"/* it's here", "*/", "CLASS Kept"});
    ASSERT_EQ(spans.size(), 1u);
    ExpectSpan(spans[0], 3, 3, "CLASS Kept");
}

TEST(KivPrgScan, PrototypeJoinsContinuationsAndCutsLineComments) {
    auto spans = KivScanPrgLines({"FUNCTION Foo(a,;", "\tb) AS INT // sum", "RETURN a+b"});
    ASSERT_EQ(spans.size(), 1u);
    ExpectSpan(spans[0], 1, 3, "FUNCTION Foo ( a, b )  AS INT");
    spans = KivScanPrgLines({"METHOD Init(o) CLASS Win // builds it", "SUPER:Init(o)"});
    ASSERT_EQ(spans.size(), 1u);
    ExpectSpan(spans[0], 1, 2, "METHOD Init ( o )  CLASS Win");
    // A continuation stops at the entity's last line.
    spans = KivScanPrgLines({"GLOBAL a;", "FUNCTION B"});
    ASSERT_EQ(spans.size(), 2u);
    ExpectSpan(spans[0], 1, 1, "GLOBAL a ");
    // Line comment cut before the continuation is looked at.
    spans = KivScanPrgLines({"FUNCTION F(a, ; // first", "b)"});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].prototype, "FUNCTION F ( a,  b )");
}

TEST(KivPrgScan, KeywordsAndModifiersDownToFourLetters) {
    auto spans =
        KivScanPrgLines({"CLAS Foo", "CLA Bar", "func f", "PROC p", "meth m class Foo", "STAT FUNC s",
                         "stati x := 1", "HIDDEN nValue", "_DLL FUNC d", "PROTECT ACCESS a", "Functional()",
                         "STATICX FUNCTION z", "\tTEXTBLOCK note"});
    std::vector<uint32_t> firsts;
    for (const auto& span : spans)
        firsts.push_back(span.firstLine);
    EXPECT_EQ(firsts, (std::vector<uint32_t>{1, 3, 4, 5, 6, 9, 10, 13}));
    EXPECT_EQ(spans[0].lastLine, 2u);
    EXPECT_EQ(spans[4].lastLine, 8u);
    EXPECT_EQ(spans[6].lastLine, 12u);
    EXPECT_EQ(spans[7].prototype, "TEXTBLOCK note");
}

TEST(KivPrgScan, EmptyAndBlankSources) {
    EXPECT_TRUE(KivScanPrgLines({}).empty());
    EXPECT_TRUE(KivScanPrgLines({"", "   ", "\t"}).empty());
    EXPECT_TRUE(KivScanPrgLines(KivSplitSourceLines("")).empty());
}

TEST(KivPrgScan, MoreLinesThanSixteenBitsCount) {
    Lines lines;
    lines.reserve(70000);
    lines.push_back("FUNCTION First()");
    for (int i = 2; i < 69999; ++i)
        lines.push_back("x := x + 1");
    lines.push_back("FUNCTION Last()");
    lines.push_back("RETURN NIL");
    auto spans = KivScanPrgLines(lines);
    ASSERT_EQ(spans.size(), 2u);
    ExpectSpan(spans[0], 1, 69998, "FUNCTION First (  )");
    ExpectSpan(spans[1], 69999, 70000, "FUNCTION Last (  )");
    EXPECT_EQ(KivJoinSourceLines(lines, 69999, 70000), "FUNCTION Last()\r\nRETURN NIL\r\n");
}
