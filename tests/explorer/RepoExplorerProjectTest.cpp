#include "RepoExplorerFixture.h"

#include "common/KivModalDriver.h"
#include "common/KivScriptedPrompt.h"
#include "explorer/RepoExplorer.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

class RepoExplorerProjectTest : public RepoExplorerTest {
protected:
    void SetUp() override {
        RepoExplorerTest::SetUp();
        m_prompt = std::make_shared<KivScriptedPrompt>();
        m_scope = std::make_unique<KivPromptScope>(m_prompt);
        Import("Default", {"Base", true, false, {{"Core", {KivEntity("HELPER", "FUNCTION Helper()", "x")}}}});
        Import("Default", {"Shop", false, false, {{"Main", {KivEntity("START", "FUNCTION Start()", "y")}}}});
        Import("Other", {"Lone", false, false, {{"Main", {KivEntity("START", "FUNCTION Start()", "z")}}}});
        Repo().CurrentProjectName("Default");
    }
    void TearDown() override {
        m_scope.reset();
        RepoExplorerTest::TearDown();
    }
    // Drives the folder dialog: checks its caption and relabelled box, then exports into `folder`.
    std::unique_ptr<KivModalDriver> FolderDialog(const std::string& caption, const std::string& folder) {
        return std::make_unique<KivModalDriver>(QStringLiteral("ExportAsPrg"), [=](QWidget* w) {
            EXPECT_EQ(w->windowTitle().toStdString(), caption);
            auto* box = KivChild<QCheckBox>(w, "oDCDLLChk");
            EXPECT_EQ(box->text(), QStringLiteral("Compress the resulting Folder"));
            EXPECT_FALSE(box->isHidden());
            KivChild<QLineEdit>(w, "oDCFolderPath")->setText(QString::fromStdString(" " + folder + " "));
            KivChild<QPushButton>(w, "oCCExportPB")->click();
        });
    }

    std::shared_ptr<KivScriptedPrompt> m_prompt;
    std::unique_ptr<KivPromptScope> m_scope;
};

TEST_F(RepoExplorerProjectTest, ExportFromTheMenuAsksForTheFolderAndOffersTheLog) {
    RepoExplorer explorer;
    ASSERT_TRUE(explorer.IsValid());
    std::filesystem::create_directories(Scratch() / "out");
    m_prompt->boxAnswers = {KivBox::IdNo};
    {
        auto driver = FolderDialog("Export base Folder for project Default", ScratchDos("out"));
        explorer.MenuItem(RepoExplorer::IDM_ExportPrj)->trigger();
    }
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "Do you wish to view the log file ?");
    EXPECT_EQ(m_prompt->boxes[0].caption, "Export Project");
    for (const char* file : {"Default.KPI", "Default.log", "Base.AEF", "Shop.AEF"})
        EXPECT_TRUE(std::filesystem::exists(Scratch() / "out/Default" / file)) << file;

    // Cancel in the folder dialog: nothing is written.
    KivModalDriver cancel(QStringLiteral("ExportAsPrg"),
                          [](QWidget* w) { KivChild<QPushButton>(w, "oCCCancelPB")->click(); });
    EXPECT_FALSE(explorer.ExportPrj());
    EXPECT_EQ(m_prompt->boxes.size(), 1u);
}

TEST_F(RepoExplorerProjectTest, ExportAllWritesEveryProjectAndSaysWhenItStopped) {
    RepoExplorer explorer;
    {
        auto driver = FolderDialog("Export base Folder for all projects.", ScratchDos("all\\new"));
        explorer.MenuItem(RepoExplorer::IDM_ExportAllPrj)->trigger();
    }
    EXPECT_TRUE(m_prompt->boxes.empty());
    for (const char* file : {"Default/Default.KPI", "Default/Shop.AEF", "Other/Other.KPI", "Other/Lone.AEF"})
        EXPECT_TRUE(std::filesystem::exists(Scratch() / "all/new" / file)) << file;

    WriteFile(Scratch() / "file", "x");
    {
        auto driver = FolderDialog("Export base Folder for all projects.", ScratchDos("file\\sub"));
        explorer.ExportAllPrj();
    }
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "Operation Aborted.");
    EXPECT_EQ(m_prompt->boxes[0].caption, "Error");
}

TEST_F(RepoExplorerProjectTest, ImportFromTheMenuRebuildsTheTreeWithTheNewProject) {
    RepoExplorer explorer;
    std::filesystem::create_directories(Scratch() / "out");
    ASSERT_TRUE(explorer.ExportPrj(ScratchDos("out"), false));
    EXPECT_TRUE(m_prompt->boxes.empty()) << "a run with its folder given asks nothing";
    EXPECT_EQ(explorer.FindNode("Copy"), nullptr);

    m_prompt->fileAnswers = {ScratchDos("out\\Default\\Default.KPI")};
    {
        KivModalDriver driver(QStringLiteral("ImportPrj"), [&](QWidget* w) {
            KivChild<QLineEdit>(w, "oDCPrjName")->setText(QStringLiteral("Copy"));
            KivChild<QLineEdit>(w, "oDCPrjPath")->setText(QString::fromStdString(ScratchDos("copy")));
            KivChild<QCheckBox>(w, "oDCCreateChk")->setChecked(true);
            KivChild<QPushButton>(w, "oCCImportPB")->click();
        });
        explorer.MenuItem(RepoExplorer::IDM_ImportPrj)->trigger();
    }
    EXPECT_TRUE(m_prompt->boxes.empty());
    EXPECT_EQ(Repo().CurrentProjectName(), "Copy");
    EXPECT_NE(explorer.FindNode("Copy"), nullptr) << "the tree was rebuilt";
    EXPECT_EQ(KivVOProject("Copy").ApplicationNameList(), (std::vector<std::string>{"Base", "Shop"}));
}
