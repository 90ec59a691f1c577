#include "exportfiles/KivPRGFile.h"
#include "exportfiles/KivPRGEntity.h"
#include "exportfiles/KivPrgScan.h"

#include "common/KivTestHome.h"
#include "support/KivFileBin.h"
#include "support/KivFileSpec.h"
#include "support/KivProgress.h"

#include <gmock/gmock.h>

#include <filesystem>

using ::testing::ElementsAre;

namespace {

const char* const kSource = "// Header\r\n"
                            "#include \"x.vh\"\r\n"
                            "\r\n"
                            "/* FUNCTION Hidden() */\r\n"
                            "FUNCTION Zeta(a, ; // first\r\n"
                            "   b) // the second\r\n"
                            "RETURN a\r\n"
                            "static proc Alpha()\r\n"
                            "CLASS Win INHERIT Window\r\n"
                            "METHOD Init() CLASS Win\r\n"
                            "RETURN SELF\r\n";

std::shared_ptr<KivPRGEntity> At(const KivPRGFile& prg, size_t i) {
    return std::dynamic_pointer_cast<KivPRGEntity>(prg.EntityList().at(i));
}

// Remembers what the reader shows, in order.
class RecordingProgress : public KivProgress {
public:
    void SetCaption(const std::string&) override {}
    void SetRange(int bar, uint32_t minimum, uint32_t maximum) override {
        events.push_back("range " + std::to_string(bar) + " " + std::to_string(minimum) + "-" +
                         std::to_string(maximum));
    }
    void SetPosition(int, uint32_t position) override { positions.push_back(position); }
    void SetText(int, const std::string&) override {}
    void SetLabel(int, const std::string&) override {}
    void SetWaitText(const std::string& text) override { events.push_back(text); }
    bool CancelRequested() override { return false; }

    std::vector<std::string> events;
    std::vector<uint32_t> positions;
};

std::vector<std::string> Strings(const std::vector<std::string_view>& views) {
    return {views.begin(), views.end()};
}

} // namespace

class PRGFileTest : public KivTestHome {};

TEST_F(PRGFileTest, SplitsAGivenTextIntoSortedEntities) {
    KivPRGFile prg("C:\\src\\Demo.prg", std::string(kSource), KivDate::FromYMD(2020, 1, 2), "03:04:05",
                   KivDate::FromYMD(2021, 6, 7), "08:09:10");
    EXPECT_TRUE(prg.Success());
    EXPECT_TRUE(prg.IsPRG());
    EXPECT_FALSE(prg.IsMEF());
    EXPECT_TRUE(prg.IsValid());
    EXPECT_EQ(prg.FileName(), "Demo");
    EXPECT_EQ(prg.FullPath(), "");
    EXPECT_EQ(prg.EntityNameList(), (std::vector<std::string>{"Alpha", "Win", "Win:Init", "Zeta"}));
    EXPECT_EQ(prg.EntityCount(), 4u);

    auto zeta = At(prg, 3);
    EXPECT_EQ(zeta->FirstLine(), 5u);
    EXPECT_EQ(zeta->LastLine(), 7u);
    // Continuation joined with a blank, the line comments dropped.
    EXPECT_EQ(zeta->VOPrototype(), "FUNCTION Zeta ( a,  b )");
    EXPECT_EQ(zeta->Source(), "FUNCTION Zeta(a, ; // first\r\n   b) // the second\r\nRETURN a\r\n");
    EXPECT_EQ(zeta->Type().Name(), "FUNCTION");
    EXPECT_EQ(zeta->Visibility().Name(), "PUBLIC");
    EXPECT_EQ(zeta->CreateDate(), KivDate::FromYMD(2020, 1, 2));
    EXPECT_EQ(zeta->CreateTime(), "03:04:05");
    EXPECT_EQ(zeta->LastBuildDate(), KivDate::FromYMD(2021, 6, 7));
    EXPECT_EQ(zeta->LastBuildTime(), "08:09:10");

    auto alpha = At(prg, 0);
    EXPECT_EQ(alpha->FirstLine(), 8u);
    EXPECT_EQ(alpha->LastLine(), 8u);
    EXPECT_EQ(alpha->Prototype(), "STATIC PROCEDURE Alpha (  )");
    EXPECT_EQ(alpha->Type().Name(), "PROCEDURE");
    EXPECT_EQ(alpha->Visibility().Name(), "STATIC");
    EXPECT_EQ(At(prg, 2)->Source(), "METHOD Init() CLASS Win\r\nRETURN SELF\r\n");

    EXPECT_EQ(prg.ExportSource(1, 2), "// Header\r\n#include \"x.vh\"\r\n");
    EXPECT_EQ(prg.EntityFind("win:i")->Name(), "Win:Init");
    EXPECT_EQ(prg.EntityFind("nothing"), nullptr);

    // Entities keep their source after the file object is closed.
    prg.Close();
    EXPECT_FALSE(prg.Success());
    EXPECT_EQ(zeta->Source(), "FUNCTION Zeta(a, ; // first\r\n   b) // the second\r\nRETURN a\r\n");
}

TEST_F(PRGFileTest, EmptyAndNamelessSources) {
    KivPRGFile empty("", std::string());
    EXPECT_TRUE(empty.Success());
    EXPECT_EQ(empty.FileName(), "No Name");
    EXPECT_EQ(empty.EntityCount(), 0u);
    // A missing file without a text reads as empty.
    KivPRGFile missing(ScratchDos("missing.prg"));
    EXPECT_TRUE(missing.Success());
    EXPECT_EQ(missing.FileName(), "missing");
    EXPECT_EQ(missing.FullPath(), "");
    EXPECT_EQ(missing.EntityCount(), 0u);
}

TEST_F(PRGFileTest, ReadsAFileWithProgress) {
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "FUNCTION F" + std::to_string(i) + "()\r\nRETURN " + std::string(100, '1') + "\r\n";
    WriteFile(Scratch() / "big.prg", text);
    RecordingProgress progress;
    KivPRGFile prg(ScratchDos("big.prg"), std::nullopt, &progress);
    EXPECT_TRUE(prg.Success());
    EXPECT_EQ(prg.FullPath(), ScratchDos("big.prg"));
    EXPECT_EQ(prg.FileName(), "big");
    EXPECT_EQ(prg.EntityCount(), 500u);
    EXPECT_EQ(prg.LineCount(), 1000u);
    EXPECT_THAT(progress.events, ElementsAre("Reading File...", "range 0 1-100", "Please wait...",
                                             "Count and Search Entities", "Sort by Name"));
    ASSERT_FALSE(progress.positions.empty());
    EXPECT_EQ(progress.positions.front(), 1u);
    EXPECT_EQ(progress.positions.back(), 100u);
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
    // The dates are the file's.
    KivFileSpec fileSpec(ScratchDos("big.prg"));
    EXPECT_EQ(prg.CreateDate(), fileSpec.DateChanged());
    EXPECT_EQ(prg.LastBuildTime(), fileSpec.TimeChanged());
    EXPECT_EQ(At(prg, 0)->CreateDate(), fileSpec.DateChanged());
}

TEST_F(PRGFileTest, ReadsMoreLinesThanSixteenBitsCount) {
    std::string text = "FUNCTION First()\r\n";
    for (int i = 0; i < 70000; ++i)
        text += "x := 1\r\n";
    text += "FUNCTION Last()\r\nRETURN NIL\r\n";
    WriteFile(Scratch() / "long.prg", text);
    KivPRGFile prg(ScratchDos("long.prg"));
    ASSERT_EQ(prg.LineCount(), 70003u);
    ASSERT_EQ(prg.EntityNameList(), (std::vector<std::string>{"First", "Last"}));
    EXPECT_EQ(At(prg, 0)->LastLine(), 70001u);
    EXPECT_EQ(At(prg, 1)->FirstLine(), 70002u);
    EXPECT_EQ(At(prg, 1)->Source(), "FUNCTION Last()\r\nRETURN NIL\r\n");
}

TEST_F(PRGFileTest, QuoteAtTheStartOfACommentLineHidesNothing) {
    KivPRGFile prg("q.prg", std::string("/*\r\n"
                                        "'quoted' remark\r\n"
                                        "\"another */\r\n"
                                        "FUNCTION Seen()\r\n"
                                        "RETURN NIL\r\n"));
    EXPECT_EQ(prg.EntityNameList(), std::vector<std::string>{"Seen"});
    EXPECT_EQ(At(prg, 0)->FirstLine(), 4u);
}

TEST_F(PRGFileTest, ExportModuleWritesTheLines) {
    KivPRGFile prg("m.prg", std::string("FUNCTION F()\r\nRETURN \xE9\r\n"));
    ASSERT_TRUE(prg.ExportModule(ScratchDos("out.prg")));
    EXPECT_EQ(ReadFile(Scratch() / "out.prg"), "FUNCTION F()\r\nRETURN \xE9\r\n");
    EXPECT_FALSE(prg.ExportModule(""));
    EXPECT_FALSE(prg.ExportModule("Z:\\dev\\full"));
    WriteFile(Scratch() / "plain", "x");
    EXPECT_FALSE(prg.ExportModule(ScratchDos("plain\\out.prg")));
}

// The whole-file split must give exactly the lines the file reader gives one by one: line ends
// (CR LF, LF, a lone CR, a CR as the last byte) and cuts of long lines at every position.
TEST_F(PRGFileTest, FileLinesMatchTheLineReader) {
    const std::vector<std::string> samples{"",
                                           "\n",
                                           "\r",
                                           "\r\n",
                                           "a",
                                           "a\r",
                                           "a\n",
                                           "abcd",
                                           "abcd\r",
                                           "abcd\n",
                                           "abcd\r\n",
                                           "abcde",
                                           "abcde\r",
                                           "abcde\r\n",
                                           "abcdef\r\n",
                                           "abcd\rx\n",
                                           "abc\r\rx",
                                           "\n\n\r\n",
                                           "abcdefghijk\r\nxy\r"};
    std::vector<std::string> texts = samples;
    // Random texts of a few letters, CRs and LFs.
    uint32_t seed = 12345;
    for (int n = 0; n < 300; ++n) {
        std::string text;
        seed = seed * 1103515245u + 12345u;
        const size_t length = seed >> 16 & 31;
        for (size_t i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += "ab\r\n"[seed >> 16 & 3];
        }
        texts.push_back(text);
    }
    for (size_t t = 0; t < texts.size(); ++t) {
        const std::string& text = texts[t];
        WriteFile(Scratch() / "lines.txt", text);
        for (uint32_t maximum : {1u, 4u, 5u, 2048u}) {
            KivFileBin file(ScratchDos("lines.txt"));
            ASSERT_TRUE(file.Open(KivFileBin::kRead));
            std::vector<std::string> expected;
            while (!file.Eof())
                expected.push_back(file.ReadLine(maximum));
            EXPECT_EQ(Strings(KivSplitFileLines(text, maximum)), expected)
                << "text " << t << " maximum " << maximum;
        }
    }
    // Lines across the reader's buffer and far past the maximum.
    std::string big;
    for (int i = 0; i < 3000; ++i)
        big += std::string(static_cast<size_t>(i % 7 == 0 ? 5000 : i % 50), 'x') + (i % 3 ? "\r\n" : "\n");
    WriteFile(Scratch() / "big.txt", big);
    KivFileBin file(ScratchDos("big.txt"));
    ASSERT_TRUE(file.Open(KivFileBin::kRead));
    std::vector<std::string> expected;
    while (!file.Eof())
        expected.push_back(file.ReadLine(2048));
    EXPECT_EQ(Strings(KivSplitFileLines(big, 2048)), expected);
}
