#include "KivRepositoryFixture.h"
#include "common/KivScriptedPrompt.h"
#include "explorer/transfer/KivDeleteProject.h"
#include "explorer/transfer/KivExportPath.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

class KivProjectToolsTest : public KivRepositoryTest {
protected:
    void SetUp() override {
        KivRepositoryTest::SetUp();
        m_prompt = std::make_shared<KivScriptedPrompt>();
        m_scope = std::make_unique<KivPromptScope>(m_prompt);
    }
    void TearDown() override {
        m_scope.reset();
        KivRepositoryTest::TearDown();
    }
    KivMessageQuestion m_question;

    // Projects P1, P2, P3 besides the one the repository starts with.
    void ThreeProjects() {
        for (const char* name : {"P1", "P2", "P3"}) {
            fs::create_directories(Scratch() / name);
            ASSERT_TRUE(Repo().ProjectCreate(name, ScratchDos(name))) << Repo().ErrorString();
        }
    }
    std::vector<std::string> Names() { return Repo().ProjectNameList(); }

    std::shared_ptr<KivScriptedPrompt> m_prompt;
    std::unique_ptr<KivPromptScope> m_scope;
};

TEST_F(KivProjectToolsTest, ExportPathKeepsEachFileNameInTheNewFolder) {
    auto lib = Import("Lib", {{"M", {}}});
    lib->FullPath("C:\\OLD\\lib.aef");
    auto app = Import("App", {{"M", {}}});
    app->FullPath("");
    auto odd = Import("A:B", {{"M", {}}});
    odd->FullPath("");
    auto sys = Import("Sys", {{"M", {}}});
    sys->FullPath("C:\\SYS\\sys.aef");
    ASSERT_EQ(Store().AppSetSysLib(sys->ID(), 1), 0u);

    KivVOProject project;
    KivExportPath tool;
    KivTransferResult result = tool.Run(project, " D:\\NEW ");
    EXPECT_TRUE(result.Done()) << result.message;
    EXPECT_EQ(tool.Changed(), 3);
    EXPECT_EQ(lib->FullPath(), "D:\\NEW\\lib.aef");
    EXPECT_EQ(app->FullPath(), "D:\\NEW\\App.AEF");
    EXPECT_EQ(odd->FullPath(), "D:\\NEW\\A_B.AEF");
    EXPECT_EQ(sys->FullPath(), "C:\\SYS\\sys.aef");

    Fault().FailOn("AppSetExpName", 1);
    EXPECT_EQ(KivExportPath().Run(project, "D:\\X").outcome, KivTransferOutcome::Failed);
}

TEST_F(KivProjectToolsTest, DeleteMakesTheNeighbourCurrent) {
    ThreeProjects();
    // The first project goes: the second becomes current. Then the last: the one before it.
    for (bool first : {true, false}) {
        const auto list = Names();
        ASSERT_GE(list.size(), 3u);
        const size_t victimAt = first ? 0 : list.size() - 1;
        const std::string victim = list[victimAt];
        const std::string expected = list[first ? 1 : victimAt - 1];
        Repo().CurrentProjectName(victim);
        m_prompt->boxAnswers = {KivBox::IdYes};
        KivDeleteProject tool;
        KivTransferResult result = tool.Run(Repo(), m_question);
        EXPECT_TRUE(result.Done()) << result.message;
        EXPECT_EQ(tool.Neighbour(), expected);
        EXPECT_EQ(Repo().CurrentProjectName(), expected);
        const auto after = Names();
        EXPECT_EQ(after.size(), list.size() - 1);
        EXPECT_EQ(std::count(after.begin(), after.end(), victim), 0);
        EXPECT_EQ(m_prompt->boxes.back().text, "Project to delete:\r\n" + victim + "\r\nAre you sure ?");
        EXPECT_EQ(m_prompt->boxes.back().caption, "Delete Project");
    }
}

TEST_F(KivProjectToolsTest, NoAnswerOrTheOnlyProjectDeletesNothing) {
    ThreeProjects();
    const auto before = Names();
    m_prompt->boxAnswers = {KivBox::IdNo};
    EXPECT_EQ(KivDeleteProject().Run(Repo(), m_question).outcome, KivTransferOutcome::Cancelled);
    EXPECT_EQ(Names(), before);

    // Down to one project: that one stays.
    for (size_t i = 1; i < before.size(); ++i) {
        Repo().CurrentProjectName(Names().back());
        m_prompt->boxAnswers = {KivBox::IdYes};
        ASSERT_TRUE(KivDeleteProject().Run(Repo(), m_question).Done());
    }
    ASSERT_EQ(Names().size(), 1u);
    m_prompt->boxes.clear();
    m_prompt->boxAnswers = {KivBox::IdYes};
    const KivTransferResult last = KivDeleteProject().Run(Repo(), m_question);
    EXPECT_EQ(last.outcome, KivTransferOutcome::Failed);
    EXPECT_EQ(Names().size(), 1u);
    EXPECT_EQ(m_prompt->boxes.size(), 1u) << "the question only: the caller shows the box";
    ASSERT_EQ(last.notices.size(), 1u);
    EXPECT_EQ(last.notices[0].text, "You can delete the last project.");
    EXPECT_EQ(last.notices[0].caption, "Error");
    EXPECT_EQ(last.notices[0].style, KivBox::Ok | KivBox::IconStop);
}
