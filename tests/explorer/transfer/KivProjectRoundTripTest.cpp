#include "KivProjectTransferFixture.h"

#include "explorer/transfer/KivProjectExport.h"
#include "explorer/transfer/KivProjectImport.h"

class KivProjectRoundTripTest : public KivProjectTransferTest {};

// Export, import into an empty repository under another name, export again: the project comes
// back whole, and both exports hold the same records.
TEST_F(KivProjectRoundTripTest, AProjectComesBackWholeUnderAnotherName) {
    auto project = BuildShop();
    const std::string before = Dump(*project);
    std::filesystem::create_directories(Scratch() / "one");
    KivSilentProgress progress;
    ASSERT_EQ(KivProjectExport(project, progress).Run(ScratchDos("one"), false).outcome,
              KivTransferOutcome::Done);

    FreshRepository("home2");
    // The folder is imported from another place than it was written to.
    std::filesystem::rename(Scratch() / "one/Shop", Scratch() / "moved");
    KivProjectImportPlan plan;
    ASSERT_TRUE(plan.Read(ScratchDos("moved\\Shop.KPI")));
    ASSERT_TRUE(plan.AllPresent());
    KivProjectImport import(Repo(), progress);
    KivTransferResult result = import.Run(plan, "Copy", ScratchDos("dirs\\copy"));
    ASSERT_EQ(result.outcome, KivTransferOutcome::Done) << import.ErrorText();
    EXPECT_EQ(import.Project()->ApplicationNameList(),
              (std::vector<std::string>{"Base", "Reports", "Shop", "Tools"}));
    EXPECT_EQ(Dump(*import.Project()), before);

    std::filesystem::create_directories(Scratch() / "two");
    KivProjectExport again(import.Project(), progress);
    ASSERT_EQ(again.Run(ScratchDos("two"), false).outcome, KivTransferOutcome::Done);
    for (const char* file : {"Base.AEF", "Reports.AEF", "Shop.AEF", "TOOLS_V2.AEF"}) {
        const auto first = Records(ReadFile(Scratch() / "moved" / file));
        const auto second = Records(ReadFile(Scratch() / "two/Copy" / file));
        EXPECT_EQ(first, second) << file;
        EXPECT_GT(first.size(), 5u) << file;
    }
}
