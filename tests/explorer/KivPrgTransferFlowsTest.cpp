#include "explorer/KivPrgTransferFlows.h"
#include "KivRepositoryFixture.h"
#include "common/KivModalDriver.h"
#include "common/KivScriptedPrompt.h"
#include "explorer/dialogs/SourceDlg.h"
#include "explorer/transfer/KivPrgExport.h"
#include "support/KivProgress.h"

#include <QCheckBox>
#include <QPushButton>

#include <filesystem>

namespace fs = std::filesystem;

class KivPrgTransferFlowsTest : public KivRepositoryTest {
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

    std::shared_ptr<KivVOApplication> Shop() {
        KivTestEntity f;
        f.name = "F";
        f.source = "FUNCTION F()\r\nRETURN 1";
        return Import("Shop", {{"Main", {f}}, {"Util", {}}});
    }

    std::shared_ptr<KivScriptedPrompt> m_prompt;
    std::unique_ptr<KivPromptScope> m_scope;
};

TEST_F(KivPrgTransferFlowsTest, ExportOffersTheLogInTheSourceViewer) {
    auto app = Shop();
    m_prompt->boxAnswers = {KivBox::IdYes};
    KivModalDriver viewer(QStringLiteral("SourceDlg"), [](QWidget* w) {
        auto* dialog = static_cast<SourceDlg*>(w);
        EXPECT_EQ(dialog->Caption(), "Export as Prg : Shop");
        EXPECT_EQ(
            dialog->Text().rfind("Exporting Application has external modules.\r\nApplication : Shop\r\n", 0),
            0u);
        dialog->accept();
    });
    KivExportAsPrgRun(*app, ScratchDos("out"), nullptr);
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "Do you wish to view the log file ?");
    EXPECT_EQ(m_prompt->boxes[0].caption, "Export as Prg");
    EXPECT_TRUE(fs::exists(Scratch() / "out" / "Shop" / "Main.prg"));
}

TEST_F(KivPrgTransferFlowsTest, ExportThatCannotWriteSaysSo) {
    auto app = Shop();
    WriteFile(Scratch() / "blocker", "x");
    KivExportAsPrgRun(*app, ScratchDos("blocker"), nullptr);
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].caption, "Export as Prg");
    EXPECT_NE(m_prompt->boxes[0].text.find("blocker"), std::string::npos);
}

TEST_F(KivPrgTransferFlowsTest, ImportThroughTheSummary) {
    auto app = Shop();
    KivSilentProgress silent;
    ASSERT_TRUE(KivPrgExport().Run(*app, ScratchDos("out"), silent).Done());
    KivVOProject().ApplicationNameDelete("Shop");
    const std::string kea = ScratchDos("out\\Shop\\Shop.KEA");

    // Cancel in the summary, then no file chosen: nothing is created either time.
    m_prompt->fileAnswers = {kea, std::nullopt};
    {
        KivModalDriver summary(QStringLiteral("ImportList"),
                               [](QWidget* w) { KivChild<QPushButton>(w, "oCCCancelPB")->click(); });
        EXPECT_FALSE(KivImportAsPrgFlow(Repo(), nullptr));
    }
    EXPECT_FALSE(KivImportAsPrgFlow(Repo(), nullptr));
    EXPECT_FALSE(KivVOProject().ApplicationFind("Shop"));

    m_prompt->fileAnswers = {kea};
    KivModalDriver summary(QStringLiteral("ImportList"),
                           [](QWidget* w) { KivChild<QPushButton>(w, "oCCImportPB")->click(); });
    EXPECT_TRUE(KivImportAsPrgFlow(Repo(), nullptr));
    auto created = KivVOProject().ApplicationFind("Shop");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->ModuleNameList(), (std::vector<std::string>{"Main", "Util"}));
    EXPECT_EQ(created->ModuleFind("Main")->ExternalFile(), ScratchDos("out\\Shop\\Main.prg"));
}

TEST_F(KivPrgTransferFlowsTest, SaveRegWritesTheChosenGroups) {
    m_prompt->fileAnswers = {ScratchDos("ide.reg")};
    {
        KivModalDriver dialog(QStringLiteral("ExportRegistry"), [](QWidget* w) {
            KivChild<QCheckBox>(w, "oDCChk3")->setChecked(true);
            KivChild<QPushButton>(w, "oCCExportPB")->click();
        });
        KivSaveRegFlow(nullptr);
    }
    const std::string text = ReadFile(Scratch() / "ide.reg");
    EXPECT_EQ(text.rfind("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\", 0), 0u) << text;
    EXPECT_NE(text.find("\\Directories]\r\n\"AEFPath\"="), std::string::npos) << text;
    EXPECT_TRUE(m_prompt->boxes.empty());

    m_prompt->fileAnswers = {std::string("Z:\\dev\\full")};
    KivModalDriver dialog(QStringLiteral("ExportRegistry"), [](QWidget* w) {
        KivChild<QPushButton>(w, "oCCCheckAll")->click();
        KivChild<QPushButton>(w, "oCCExportPB")->click();
    });
    KivSaveRegFlow(nullptr);
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].caption, "Error");
}

TEST_F(KivPrgTransferFlowsTest, ExportPathAndDeleteProject) {
    auto app = Shop();
    KivExportPathRun(Repo(), "D:\\NEW");
    EXPECT_EQ(app->FullPath(), "D:\\NEW\\Shop.AEF");
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "The new path has been set for all applications.");
    EXPECT_EQ(m_prompt->boxes[0].caption, "Export FileName");

    fs::create_directories(Scratch() / "second");
    ASSERT_TRUE(Repo().ProjectCreate("Second", ScratchDos("second")));
    m_prompt->boxAnswers = {KivBox::IdNo, KivBox::IdYes};
    EXPECT_FALSE(KivDeletePrjFlow(Repo()));
    EXPECT_TRUE(KivDeletePrjFlow(Repo()));
    EXPECT_EQ(Repo().ProjectNameList(), std::vector<std::string>{"Second"});
}
