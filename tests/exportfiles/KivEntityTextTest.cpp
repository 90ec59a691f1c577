#include "exportfiles/KivEntityText.h"

#include <gtest/gtest.h>

TEST(KivEntityText, KeywordsInTheirFixedOrder) {
    KivInitEntityMarkers();
    const std::vector<std::string> expected{
        "CLASS",  "METHOD", "ACCESS", "ASSIGN",  "INHERIT", "FUNCTION",  "PROCEDURE", "RESOURCE",
        "STATIC", "DEFINE", "HIDDEN", "PROTECT", "UNION",   "STRUCTURE", "TEXTBLOCK", "GLOBAL"};
    EXPECT_EQ(KivGetKeywords(), expected);
    // Callers get a copy: changing it leaves the process-wide list alone.
    std::vector<std::string> copy = KivGetKeywords();
    copy.clear();
    EXPECT_EQ(KivGetKeywords().size(), 16u);
}

struct NormaliseCase {
    const char* vo;
    const char* normalised;
};

void PrintTo(const NormaliseCase& c, std::ostream* os) {
    *os << '"' << c.vo << '"';
}

class KivNormalisePrototypeTest : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(KivNormalisePrototypeTest, Normalises) {
    EXPECT_EQ(KivNormalisePrototype(GetParam().vo), GetParam().normalised);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KivNormalisePrototypeTest,
    ::testing::Values(NormaliseCase{"method foo() class bar", "METHOD foo() CLASS bar"},
                      NormaliseCase{"static func foo()", "STATIC FUNCTION foo()"},
                      NormaliseCase{"x:=1", "x :=1"}, NormaliseCase{"a:=1, b:=2", "a :=1, b :=2"},
                      // Glued to the next character the keyword is no keyword and keeps its case.
                      NormaliseCase{"class; for instance", "class; for instance"},
                      // Three letters are too few.
                      NormaliseCase{"fun foo()", "fun foo()"}, NormaliseCase{"Proc Main", "PROCEDURE Main"},
                      NormaliseCase{"meth Init(o) clas Win", "METHOD Init(o) CLASS Win"},
                      // Each keyword is written out once only; later occurrences keep their case.
                      NormaliseCase{"class a inherit class b", "CLASS a INHERIT class b"},
                      // The first occurrence decides: glued to a word it blocks that length.
                      NormaliseCase{"myfunc func", "myfunc func"},

                      NormaliseCase{"func myfunc", "FUNCTION myfunc"},
                      // The shortest abbreviation is looked for first, wherever it stands.
                      NormaliseCase{"function x func y", "function x FUNCTION y"},
                      // Keywords are written out in their fixed order, not in the order they stand.
                      NormaliseCase{"proc a func b meth c", "PROCEDURE a FUNCTION b METHOD c"},
                      NormaliseCase{"func\tfoo", "func\tfoo"}, NormaliseCase{"\tfunc foo", "\tFUNCTION foo"},
                      NormaliseCase{"", ""}, NormaliseCase{"FUNCTION Foo", "FUNCTION Foo"},
                      // A keyword written out in capitals leaves later abbreviations to be written out.
                      NormaliseCase{"FUNCTION a func b", "FUNCTION a FUNCTION b"},
                      NormaliseCase{"Function Foo", "FUNCTION Foo"},
                      NormaliseCase{"global dim aList[10]", "GLOBAL dim aList[10]"},
                      NormaliseCase{"\xE4 func \xE4", "\xE4 FUNCTION \xE4"}));

struct InfoCase {
    const char* prototype;
    const char* info;
    const char* type;
    const char* visibility;
};

void PrintTo(const InfoCase& c, std::ostream* os) {
    *os << '"' << c.prototype << '"';
}

class KivEntityInfoTest : public ::testing::TestWithParam<InfoCase> {};

TEST_P(KivEntityInfoTest, NameTypeAndVisibility) {
    const InfoCase& c = GetParam();
    EXPECT_EQ(KivEntityInfo(c.prototype), c.info);
    EXPECT_EQ(KivPrototypeType(c.prototype).Name(), c.type);
    EXPECT_EQ(KivPrototypeVisibility(c.prototype).Name(), c.visibility);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KivEntityInfoTest,
    ::testing::Values(InfoCase{"METHOD Init(oOwner) CLASS MyWin", "MyWin:Init", "METHOD", "PUBLIC"},
                      InfoCase{"STATIC FUNCTION Foo(a)", "Foo", "FUNCTION", "STATIC"},
                      InfoCase{"GLOBAL DIM aList[10]", "aList", "GLOBAL", "PUBLIC"},
                      InfoCase{"STATIC GLOBAL DIM aTab[3] AS INT", "aTab", "GLOBAL", "STATIC"},
                      InfoCase{"_DLL FUNCTION MessageBox(h) AS INT PASCAL:USER32.MessageBoxA", "MessageBox",
                               "FUNCTION", "PUBLIC"},
                      InfoCase{"HIDDEN CLASS Secret", "Secret", "CLASS", "HIDDEN"},
                      InfoCase{"PROTECT ACCESS Size CLASS Box", "Box:Size", "ACCESS", "PROTECT"},

                      InfoCase{"METHOD Init ( oOwner )  CLASS   MyWin  ", "MyWin:Init", "METHOD", "PUBLIC"},
                      InfoCase{"ACCESS Size CLASS Box; EXPORT", "Box:Size", "ACCESS", "PUBLIC"},
                      // Without a CLASS clause there is no class to show.
                      InfoCase{"METHOD Orphan()", "Orphan", "METHOD", "PUBLIC"},
                      InfoCase{"TEXTBLOCK  Read me first ", "Read me first", "TEXTBLOCK", "PUBLIC"},
                      InfoCase{"TEXTBLOCK", "", "TEXTBLOCK", "PUBLIC"},
                      InfoCase{"DEFINE MAX_LEN := 10", "MAX_LEN", "DEFINE", "PUBLIC"},
                      InfoCase{"method Init() class MyWin", "MyWin:Init", "METHOD", "PUBLIC"},
                      InfoCase{"STATIC", "", "", "STATIC"}, InfoCase{"", "", "", "PUBLIC"}));

TEST(KivEntityText, TypeGivenByTheCallerDecidesTheClassPrefix) {
    EXPECT_EQ(KivEntityInfo("METHOD Init() CLASS MyWin", KivSymbol()), "Init");
    EXPECT_EQ(KivEntityInfo("FUNCTION Init() CLASS MyWin", KivSymbol("ACCESS")), "MyWin:Init");
}
