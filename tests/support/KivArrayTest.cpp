#include "support/KivArray.h"
#include "support/KivStringList.h"

#include <gtest/gtest.h>

using Strings = std::vector<std::string>;

TEST(KivArray, SkipStopsAtTheEndsAndSetsTheirFlags) {
    KivArray<int> a({10, 20, 30});
    EXPECT_EQ(a.Pos(), 1u);
    a.Skip(5);
    EXPECT_TRUE(a.Eof());
    EXPECT_FALSE(a.Bof());
    EXPECT_EQ(a.Pos(), 3u);
    EXPECT_EQ(a.Current(), 30);

    a.Skip(-2);
    EXPECT_FALSE(a.Eof());
    EXPECT_EQ(a.Current(), 10);
    a.SkipPrevious();
    EXPECT_TRUE(a.Bof());
    EXPECT_EQ(a.Pos(), 1u);
    a.Skip(std::numeric_limits<std::ptrdiff_t>::min());
    EXPECT_TRUE(a.Bof());
    EXPECT_EQ(a.Pos(), 1u);
    a.Skip(std::numeric_limits<std::ptrdiff_t>::max());
    EXPECT_TRUE(a.Eof());
    EXPECT_FALSE(a.Bof());

    // A positioned move clears both flags, so a walk back from the bottom can start.
    a.GoBottom();
    EXPECT_FALSE(a.Eof());
    EXPECT_FALSE(a.Bof());
    EXPECT_EQ(a.Pos(), 3u);
    EXPECT_FALSE(a.Goto(4));
    EXPECT_FALSE(a.Goto(0));
    EXPECT_EQ(a.Pos(), 3u);
    EXPECT_TRUE(a.Goto(2));
    EXPECT_EQ(a.Current(), 20);

    KivArray<int> empty;
    EXPECT_EQ(empty.Pos(), 0u);
    empty.Skip();
    EXPECT_TRUE(empty.Eof() && empty.Bof());
    EXPECT_EQ(empty.Current(), 0);
    EXPECT_FALSE(empty.Current(5));
}

TEST(KivArray, EditingMovesTheCursor) {
    KivArray<std::string> a;
    a.Add("b");
    a.Append("d");
    EXPECT_EQ(a.Pos(), 2u);
    a.Ins("c"); // before the cursor
    EXPECT_EQ(a.Contents(), (Strings{"b", "c", "d"}));
    EXPECT_EQ(a.Pos(), 2u);
    a.Insert("a", 1);
    a.Ins("z", 99); // past the end: appended, not lost
    EXPECT_EQ(a.Contents(), (Strings{"a", "b", "c", "d", "z"}));
    EXPECT_EQ(a.Pos(), 5u);

    EXPECT_EQ(a.Get(3), "c");
    EXPECT_EQ(a.Pos(), 3u);
    EXPECT_EQ(a.Get(9), "");
    EXPECT_EQ(a.Pos(), 3u);
    EXPECT_TRUE(a.Put("C"));
    EXPECT_EQ(a.Replace("B", 2), "b");
    EXPECT_EQ(a.Pos(), 2u);
    EXPECT_FALSE(a.Set("x", 0));
    EXPECT_EQ(a.Contents(), (Strings{"a", "B", "C", "d", "z"}));

    EXPECT_TRUE(a.DeleteCurrent());
    EXPECT_EQ(a.Current(), "C"); // same number, next element
    EXPECT_TRUE(a.Del(1));
    EXPECT_EQ(a.Pos(), 2u);
    a.GoBottom();
    EXPECT_TRUE(a.Delete());
    EXPECT_EQ(a.Pos(), 2u); // on the new last element
    EXPECT_FALSE(a.Del(7));
    EXPECT_EQ(a.Contents(), (Strings{"C", "d"}));

    a.Contents(Strings{"only"});
    EXPECT_EQ(a.Len(), 1u);
    EXPECT_EQ(a.Pos(), 1u);
    a.Zap();
    EXPECT_TRUE(a.Empty());
    EXPECT_EQ(a.Pos(), 0u);
    a.FillUsing({"x", "y"});
    EXPECT_EQ(a.Size(), 2u);
    EXPECT_EQ(a.Pos(), 1u);
}

TEST(KivArray, ScanSortAndLargeCounts) {
    KivArray<std::string> a({"Module10", "Module1", "APP"});
    EXPECT_EQ(a.Scan("Module1"), 1u); // begins with, as the run-time scan compares
    EXPECT_EQ(a.ScanExact("Module1"), 2u);
    EXPECT_EQ(a.Seek("APP"), 3u);
    EXPECT_EQ(a.ScanExact("app"), 0u);
    EXPECT_EQ(a.Scan([](const std::string& s) { return s.size() == 3; }), 3u);
    a.Sort();
    EXPECT_EQ(a.Contents(), (Strings{"APP", "Module1", "Module10"}));
    a.Sort(std::greater<>());
    EXPECT_EQ(a.Current(), "Module10");

    // More elements than a 16-bit count could hold: nothing is cut.
    KivArray<int> big(std::vector<int>(70000, 7));
    big.Add(8);
    EXPECT_EQ(big.Len(), 70001u);
    EXPECT_EQ(big.Pos(), 70001u);
    EXPECT_EQ(big.Get(70001), 8);
}

TEST(KivStringList, TextValueAndStoredText) {
    KivStringList lines("FUNCTION Start()\r\n\tRETURN NIL\r\n\r\nlast");
    EXPECT_EQ(lines.Count(), 4u);
    EXPECT_EQ(lines.Pos(), 1u);
    EXPECT_EQ(lines.Get(2), "\tRETURN NIL");
    EXPECT_EQ(lines.TextValue(), "FUNCTION Start()\r\n\tRETURN NIL\r\n\r\nlast\r\n");

    lines.Put("a\r\nb\tc", 1); // CR LF removed so the element stays one line
    EXPECT_EQ(lines.Get(1), "ab\tc");
    lines.Current("x\r\ny");
    EXPECT_EQ(lines.Current(), "xy");
    lines.Ins("p\r\nq", 1);
    EXPECT_EQ(lines.Replace("r\r\ns", 1), "pq");
    EXPECT_EQ(lines.Get(1), "rs");
    lines.Add("kept\r\nas is");
    EXPECT_EQ(lines.Current(), "kept\r\nas is");

    KivStringList tabs("\tone\r\ntwo\t", true);
    EXPECT_EQ(tabs.Contents(), (Strings{" one", "two "}));
    tabs.Set("a\tb", 2);
    EXPECT_EQ(tabs.Get(2), "a b");
    tabs.TextValue("x\ty\r\n");
    EXPECT_EQ(tabs.Contents(), (Strings{"x y"}));

    KivStringList none("");
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(none.TextValue(), "");
}
