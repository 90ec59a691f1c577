#include "KivRepositoryFixture.h"
#include "KivTransferTestUtil.h"
#include "explorer/transfer/KivMefTransfer.h"
#include "explorer/transfer/KivModuleCompare.h"
#include "explorer/transfer/KivUnifiedDiff.h"
#include "platform/KivDosPath.h"
#include "support/KivPathUtil.h"

#include <filesystem>

namespace fs = std::filesystem;
using W = KivAefTestWriter;

class KivMefTransferTest : public KivRepositoryTest {
protected:
    // A source-control folder: the module Orders as the IDE writes it, a plain one, a MEF cut
    // short, a file with another header, and a file that is no MEF by name.
    void WriteFolder(const fs::path& folder) {
        fs::create_directories(folder);
        WriteFile(folder / "Orders.MEF", m_orders);
        W util = W::Mef();
        util.Module("Util", 1100000000, 1000000000);
        util.Entity({"HELP", 3, 17, "FUNCTION Help()", "FUNCTION Help()\r\nRETURN NIL\r\n"});
        WriteFile(folder / "util.mef", util.End());
        WriteFile(folder / "broken.Mef", W::Mef().Module("Broken", 1, 2).Bytes().substr(0, 40));
        WriteFile(folder / "aef.mef", W::Aef().AppName("X").End());
        WriteFile(folder / "notes.txt", "not a module");
    }

    KivTransferResult ImportInto(KivVOProject& project, const std::string& app, const fs::path& folder,
                                 KivMefImport& import) {
        std::string missing;
        auto files = KivMefImport::FilesOf({kiv::dospath::FromHost(folder)}, missing);
        EXPECT_EQ(missing, "");
        KivCountingProgress progress;
        return import.Run(project, app, files, progress);
    }

    KivTransferResult Export(const std::string& app, const fs::path& base, bool withPrg = false) {
        auto application = Repo().CurrentProject()->ApplicationFind(app);
        EXPECT_TRUE(application);
        KivCountingProgress progress;
        return KivMefExport().Run(*application, kiv::dospath::ToDos(base.string()), withPrg, progress);
    }

    std::string m_orders = W::Mef().IdeModule("Orders").End();
};

TEST_F(KivMefTransferTest, FolderComesInWholeAndGoesOutByteForByte) {
    WriteFolder(Scratch() / "in");
    KivMefImport import;
    KivTransferResult result = ImportInto(*Repo().CurrentProject(), "Shop", Scratch() / "in", import);
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(result.errors, 2);
    // Name order, any letter case of the extension; the bad files change nothing and say why.
    const auto& files = import.Files();
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(KivExtractFileInfo(files[0].file), "Orders.MEF");
    EXPECT_EQ(files[0].module, "Orders");
    EXPECT_EQ(files[0].entities, 3u);
    EXPECT_EQ(files[0].error, "");
    EXPECT_EQ(KivExtractFileInfo(files[1].file), "aef.mef");
    EXPECT_EQ(files[1].error, "Invalid MEF File STRUCTURE");
    EXPECT_EQ(KivExtractFileInfo(files[2].file), "broken.Mef");
    EXPECT_NE(files[2].error.find("past the end"), std::string::npos) << files[2].error;
    EXPECT_EQ(files[3].module, "Util");
    ASSERT_TRUE(import.Application());
    EXPECT_TRUE(import.Application()->IsApplication());
    EXPECT_EQ(import.Application()->ModuleNameList(), (std::vector<std::string>{"Orders", "Util"}));

    // Every record of the IDE's module comes back in its order.
    ASSERT_TRUE(Export("Shop", Scratch() / "out").Done());
    const auto first = ReadFolder(Scratch() / "out" / "Shop");
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first.at("Orders.MEF"), m_orders);

    // Into another project under another name, whose module of the same name is replaced, and
    // out again: the same bytes.
    auto copy = Repo().ProjectCreate("Copy", ScratchDos("copy"));
    ASSERT_TRUE(copy);
    ASSERT_TRUE(Repo().CurrentProjectName("Copy").size());
    Import("Mirror", {{"ORDERS", {{"OLD", 3, 17, "FUNCTION Old()", "FUNCTION Old()\r\n"}}}});
    KivMefImport again;
    ASSERT_TRUE(ImportInto(*Repo().CurrentProject(), "Mirror", Scratch() / "out" / "Shop", again).Done());
    ASSERT_TRUE(Export("Mirror", Scratch() / "again").Done());
    EXPECT_EQ(ReadFolder(Scratch() / "again" / "Mirror"), first);
}

TEST_F(KivMefTransferTest, ModuleAndItsPrgSourceCompareTheSame) {
    Import("Shop", {{"Orders",
                     {{"ORDER:INIT", 3, 21, "METHOD Init(n) CLASS Order", "METHOD Init(n) CLASS Order\r\nRETURN SELF"},
                      {"ORDER:NAME:ACCESS", 3, 25, "ACCESS Name CLASS Order", "ACCESS Name CLASS Order\r\nRETURN 1"},
                      {"ORDER:NAME:ASSIGN", 3, 26, "ASSIGN Name(x) CLASS Order",
                       "ASSIGN Name(x) CLASS Order\r\nRETURN 2"},
                      {"START", 3, 17, "func Start( )", "func Start( )\r\nRETURN 0\r\n\r\n"}}}});
    ASSERT_TRUE(Export("Shop", Scratch() / "out", true).Done());
    std::string error;
    auto mef = KivCompareSide::OfFile(ScratchDos("out\\Shop\\Orders.MEF"), error);
    ASSERT_EQ(error, "");
    auto prg = KivCompareSide::OfFile(ScratchDos("out\\Shop\\Orders.prg"), error);
    ASSERT_EQ(error, "");
    auto app = Repo().CurrentProject()->ApplicationFind("Shop");
    auto repo = KivCompareSide::OfRepository(*app, "repo:Default/Shop", error);
    ASSERT_EQ(error, "");
    KivSilentProgress progress;
    KivModuleCompare compare;
    for (const auto* side : {&prg, &repo}) {
        ASSERT_TRUE(compare.Run(mef, *side, progress).Done());
        EXPECT_TRUE(compare.Same()) << side->label << ": " << compare.Modules().front().entities.size();
    }
}

TEST(KivUnifiedDiffTest, HunksAsDiffWritesThem) {
    struct Case {
        const char* before;
        const char* after;
        const char* diff; // without the two label lines
    };
    const Case cases[] = {
        {"a\r\nb\r\n", "a\nb", ""},
        {"1\n2\n3\n4\n5\n6\n7\n8\n", "1\n2\n3\n4\nFIVE\n6\n7\n8\n",
         "@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+FIVE\n 6\n 7\n 8\n"},
        {"", "x\ny\n", "@@ -0,0 +1,2 @@\n+x\n+y\n"},
        {"x\n", "", "@@ -1 +0,0 @@\n-x\n"},
        {"a\nb\nc\n", "b\nc\nd\n", "@@ -1,3 +1,3 @@\n-a\n b\n c\n+d\n"},
        // Changes further apart than twice the context make two hunks.
        {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n", "X\n2\n3\n4\n5\n6\n7\n8\n9\nY\n",
         "@@ -1,4 +1,4 @@\n-1\n+X\n 2\n 3\n 4\n@@ -7,4 +7,4 @@\n 7\n 8\n 9\n-10\n+Y\n"},
    };
    for (const Case& c : cases) {
        const std::string diff = KivUnifiedDiff(c.before, c.after, "old", "new");
        EXPECT_EQ(diff, *c.diff ? std::string("--- old\n+++ new\n") + c.diff : std::string()) << c.before;
    }
}
