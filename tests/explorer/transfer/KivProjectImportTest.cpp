#include "KivProjectTransferFixture.h"
#include "common/KivScriptedPrompt.h"

#include "explorer/transfer/KivProjectImport.h"

class KivProjectImportTest : public KivProjectTransferTest {
protected:
    // An export folder as another machine wrote it: the AEF paths name that machine's folder.
    void WriteFolder(const std::string& kpiText, const std::vector<std::string>& aefs) {
        std::filesystem::create_directories(Scratch() / "moved");
        WriteFile(Scratch() / "moved/Shop.KPI", kpiText);
        for (const std::string& app : aefs) {
            KivAefTestWriter w = KivAefTestWriter::Aef();
            w.AppName(app).AppInfo(1300000000, 1200000000);
            w.Module("Main", 1100000000, 1000000000);
            w.Entity({"START", 3, 17, "FUNCTION Start()", "FUNCTION Start()\r\n"});
            WriteFile(Scratch() / "moved" / (app + ".aef"), w.End());
        }
    }
    static constexpr const char* kThreeApps =
        "[PRJ]\r\nName=Shop\r\nPath=C:\\KIVREPO\\SHOP\r\n\r\n"
        "[APP001]\r\nName=Base\r\nAEF=E:\\export\\Shop\\BASE.AEF\r\n\r\n"
        "[APP002]\r\nName=Gone\r\nAEF=E:\\export\\Shop\\Gone.AEF\r\n\r\n"
        "[APP003]\r\nName=Shop\r\nAEF=/mnt/export/Shop/shop.aef\r\n\r\n";
};

TEST_F(KivProjectImportTest, ThePlanListsTheSectionsInFileOrderWithFilesFromTheKpiFolder) {
    WriteFolder(kThreeApps, {"Base", "Shop"});
    KivProjectImportPlan plan;
    ASSERT_TRUE(plan.Read(ScratchDos("moved\\Shop.KPI")));
    EXPECT_EQ(plan.name, "Shop");
    EXPECT_EQ(plan.path, "C:\\KIVREPO\\SHOP");
    EXPECT_EQ(plan.folder, ScratchDos("moved\\"));
    ASSERT_EQ(plan.entries.size(), 3u);
    EXPECT_EQ(plan.entries[0].section, "APP001");
    EXPECT_EQ(plan.entries[0].name, "Base");
    EXPECT_EQ(plan.entries[0].aefPath, ScratchDos("moved\\BASE.AEF"));
    EXPECT_TRUE(plan.entries[0].present) << "found ignoring case";
    EXPECT_EQ(plan.entries[1].name, "Gone");
    EXPECT_FALSE(plan.entries[1].present);
    EXPECT_EQ(plan.entries[2].aefPath, ScratchDos("moved\\shop.aef")) << "a POSIX folder is dropped as well";
    EXPECT_TRUE(plan.entries[2].present);
    EXPECT_FALSE(plan.AllPresent());

    // Sections match in any case; a value that climbs out of the folder names no file.
    WriteFolder("[prj]\r\nname=Lower\r\n[X]\r\nName=Up\r\nAEF=..\r\n", {});
    ASSERT_TRUE(plan.Read(ScratchDos("moved\\Shop.KPI")));
    EXPECT_EQ(plan.name, "Lower");
    ASSERT_EQ(plan.entries.size(), 1u);
    EXPECT_EQ(plan.entries[0].aefPath, "");
    EXPECT_FALSE(plan.entries[0].present);

    EXPECT_FALSE(plan.Read(ScratchDos("moved\\None.KPI")));
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "moved/None.KPI")) << "reading must not create it";
}

TEST_F(KivProjectImportTest, TheImportButtonChecksNamePathAndFolderInOrder) {
    auto prompt = std::make_shared<KivScriptedPrompt>();
    KivPromptScope scope(prompt);
    const std::vector<std::string> existing{"Default", "Shop"};
    using C = KivProjectTargetCheck;
    // As the dialog and kivrepo run it: the question asked, the check's box shown after it.
    auto check = [&](const std::string& name, const std::string& path, bool createPath) {
        KivMessageQuestion question;
        const C result = KivCheckProjectTarget(name, path, existing, createPath, question);
        KivShowNotices(KivProjectTargetNotices(result));
        return result;
    };

    EXPECT_EQ(check("", ScratchDos("p"), true), C::Incomplete);
    EXPECT_EQ(check("New", "  ", true), C::Incomplete);
    EXPECT_TRUE(prompt->boxes.empty());

    EXPECT_EQ(check("shop", ScratchDos("p"), true), C::NameExists);
    ASSERT_EQ(prompt->boxes.size(), 1u);
    EXPECT_EQ(prompt->boxes[0].text, "The Project already exist.");
    EXPECT_EQ(prompt->boxes[0].caption, "Error");

    // A folder that holds something asks; Yes stops, No goes on.
    WriteFile(Scratch() / "full/file.txt", "x");
    prompt->boxAnswers = {KivBox::IdYes, KivBox::IdNo};
    EXPECT_EQ(check("New", ScratchDos("full"), false), C::PathNotEmpty);
    EXPECT_EQ(prompt->boxes[1].text, "The path is not Empty !\r\nAbort Operation ?");
    EXPECT_EQ(prompt->boxes[1].caption, "Warning");
    EXPECT_EQ(check("New", ScratchDos("full"), false), C::Ok);
    std::filesystem::create_directories(Scratch() / "empty");
    EXPECT_EQ(check("New", ScratchDos("empty"), false), C::Ok);
    EXPECT_EQ(prompt->boxes.size(), 3u);

    // A missing folder is made only when asked to, with all its levels.
    EXPECT_EQ(check("New", ScratchDos("a\\b\\c"), false), C::PathMissing);
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "a"));
    EXPECT_EQ(check("New", ScratchDos("a\\b\\c"), true), C::Ok);
    EXPECT_TRUE(std::filesystem::is_directory(Scratch() / "a/b/c"));
    EXPECT_EQ(check("New", ScratchDos("full\\file.txt\\sub"), true), C::PathCreationError);
    EXPECT_EQ(prompt->boxes.back().text, "Path Creation Error !!");
    EXPECT_EQ(prompt->boxes.back().caption, "Error");
}

TEST_F(KivProjectImportTest, ImportsInFileOrderAndStopsAtAMissingFile) {
    WriteFolder(kThreeApps, {"Base", "Shop"});
    KivProjectImportPlan plan;
    ASSERT_TRUE(plan.Read(ScratchDos("moved\\Shop.KPI")));
    KivRecordingProgress progress;
    KivProjectImport run(Repo(), progress);
    KivTransferResult result = run.Run(plan, "Copy", ScratchDos("dirs\\copy"));
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(result.message, "An error occured when Importing.");
    EXPECT_EQ(run.FailedApplication(), "Gone");
    EXPECT_EQ(run.ErrorText(), "Error AdamImportApp");
    EXPECT_EQ(run.Imported(), 1u);
    ASSERT_TRUE(run.Project());
    EXPECT_EQ(Repo().CurrentProjectName(), "Copy");
    EXPECT_EQ(run.Project()->ApplicationNameList(), std::vector<std::string>{"Base"}) << "what came in stays";
    EXPECT_EQ(progress.caption, "Creating Project Copy");
    EXPECT_EQ(progress.label, "Application :");
    EXPECT_EQ(progress.maximum, 3u);
    EXPECT_EQ(progress.texts, (std::vector<std::string>{"Base", "Gone"}));
}

TEST_F(KivProjectImportTest, CancelKeepsWhatCameInAndARefusedProjectChangesNothing) {
    WriteFolder(kThreeApps, {"Base", "Shop"});
    KivProjectImportPlan plan;
    ASSERT_TRUE(plan.Read(ScratchDos("moved\\Shop.KPI")));
    KivRecordingProgress progress;
    progress.cancelAt = 2;
    KivProjectImport run(Repo(), progress);
    EXPECT_EQ(run.Run(plan, "Copy", ScratchDos("dirs\\copy")).outcome, KivTransferOutcome::Cancelled);
    EXPECT_EQ(run.Project()->ApplicationNameList(), std::vector<std::string>{"Base"});

    KivProjectImport again(Repo(), progress);
    KivTransferResult result = again.Run(plan, "copy", ScratchDos("dirs\\other"));
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_FALSE(again.Project());
    EXPECT_EQ(again.ErrorText(), "Error PrjCreate");

    // Without application sections the project is made empty.
    WriteFolder("[PRJ]\r\nName=Shop\r\nPath=x\r\n\r\n", {});
    ASSERT_TRUE(plan.Read(ScratchDos("moved\\Shop.KPI")));
    KivProjectImport empty(Repo(), progress);
    EXPECT_EQ(empty.Run(plan, "Empty", ScratchDos("dirs\\empty")).outcome, KivTransferOutcome::Done);
    EXPECT_TRUE(empty.Project()->ApplicationNameList().empty());
}
