#include "explorer/dialogs/ImportPrj.h"
#include "common/KivAefTestWriter.h"
#include "common/KivModalDriver.h"
#include "common/KivScriptedPrompt.h"
#include "common/KivTestHome.h"
#include "explorer/KivPrjTransferUi.h"
#include "explorer/transfer/KivProjectImport.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

class ImportPrjTest : public KivTestHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        m_prompt = std::make_shared<KivScriptedPrompt>();
        m_scope = std::make_unique<KivPromptScope>(m_prompt);
    }
    void TearDown() override {
        m_scope.reset();
        KivTestHome::TearDown();
    }
    // An export folder of two applications, Base present and Gone missing.
    std::string WriteFolder() {
        std::filesystem::create_directories(Scratch() / "x");
        WriteFile(Scratch() / "x/Shop.KPI", "[PRJ]\r\nName=Shop\r\nPath=" + ScratchDos("dirs\\shop") +
                                                "\r\n\r\n[APP001]\r\nName=Base\r\nAEF=E:\\e\\Base.AEF\r\n\r\n"
                                                "[APP002]\r\nName=Gone\r\nAEF=E:\\e\\Gone.AEF\r\n\r\n");
        KivAefTestWriter w = KivAefTestWriter::Aef();
        w.AppName("Base").AppInfo(1300000000, 1200000000, true).Module("Core", 1100000000, 1000000000);
        WriteFile(Scratch() / "x/Base.AEF", w.End());
        return ScratchDos("x\\Shop.KPI");
    }

    std::shared_ptr<KivScriptedPrompt> m_prompt;
    std::unique_ptr<KivPromptScope> m_scope;
};

TEST_F(ImportPrjTest, ShowsThePlanInItsControlsAndTree) {
    KivProjectImportPlan plan;
    ASSERT_TRUE(plan.Read(WriteFolder()));
    ImportPrj dialog;
    dialog.Fill(plan);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("ImportPrj"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Import Project"));
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCFixedText1")->text(), QStringLiteral("Name :"));
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCFixedText2")->text(), QStringLiteral("Path :"));
    EXPECT_EQ(KivChild<QLineEdit>(&dialog, "oDCPrjName")->text(), QStringLiteral("Shop"));
    EXPECT_EQ(KivChild<QLineEdit>(&dialog, "oDCPrjPath")->text().toStdString(), ScratchDos("dirs\\shop"));
    EXPECT_EQ(KivChild<QPushButton>(&dialog, "oCCChangePB")->text(), QStringLiteral("..."));
    EXPECT_EQ(KivChild<QPushButton>(&dialog, "oCCImportPB")->text(), QStringLiteral("&Import"));
    EXPECT_EQ(KivChild<QPushButton>(&dialog, "oCCCancelPB")->text(), QStringLiteral("&Cancel"));
    auto* create = KivChild<QCheckBox>(&dialog, "oDCCreateChk");
    EXPECT_EQ(create->text(), QStringLiteral("Create Fullpath if needed"));
    EXPECT_FALSE(create->isChecked());

    auto* tree = KivChild<QTreeWidget>(&dialog, "oDCPrjTree");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("Project Applications"));
    EXPECT_EQ(root->data(0, ImportPrj::KeyRole).toString(), QStringLiteral("Prj"));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_FALSE(root->icon(0).isNull());
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("Base"));
    EXPECT_EQ(root->child(0)->data(0, ImportPrj::KeyRole).toString(), QStringLiteral("APP001"));
    EXPECT_EQ(root->child(0)->data(0, ImportPrj::StateRole).toInt(), 1);
    EXPECT_EQ(root->child(1)->text(0), QStringLiteral("Gone"));
    EXPECT_EQ(root->child(1)->data(0, ImportPrj::StateRole).toInt(), 2);
}

TEST_F(ImportPrjTest, ImportKeepsTheDialogOpenUntilTheChecksPass) {
    KivProjectImportPlan plan;
    ASSERT_TRUE(plan.Read(WriteFolder()));
    ImportPrj dialog;
    dialog.Fill(plan);
    dialog.aExisting = {"Default", "SHOP"};
    KivModalDriver driver(QStringLiteral("ImportPrj"), [&](QWidget* w) {
        auto* import = KivChild<QPushButton>(w, "oCCImportPB");
        import->click(); // the name exists
        EXPECT_TRUE(w->isVisible());
        KivChild<QLineEdit>(w, "oDCPrjName")->setText(QStringLiteral("Copy"));
        import->click(); // the folder is missing and may not be made
        EXPECT_TRUE(w->isVisible());
        KivChild<QCheckBox>(w, "oDCCreateChk")->setChecked(true);
        import->click();
    });
    EXPECT_EQ(dialog.exec(), 1);
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "The Project already exist.");
    EXPECT_EQ(dialog.PrjName(), "Copy");
    EXPECT_TRUE(dialog.CreatePath());
    EXPECT_TRUE(std::filesystem::is_directory(Scratch() / "dirs/shop"));
}

TEST_F(ImportPrjTest, ChangeBrowsesForTheFolderAndCancelEndsWithZero) {
    ImportPrj dialog;
    m_prompt->folderAnswers = {ScratchDos("picked"), std::nullopt};
    KivModalDriver driver(QStringLiteral("ImportPrj"), [&](QWidget* w) {
        auto* path = KivChild<QLineEdit>(w, "oDCPrjPath");
        path->setText(QStringLiteral("C:\\data\\"));
        KivChild<QPushButton>(w, "oCCChangePB")->click();
        EXPECT_EQ(path->text().toStdString(), ScratchDos("picked"));
        KivChild<QPushButton>(w, "oCCChangePB")->click(); // cancelled: the field stays
        EXPECT_EQ(path->text().toStdString(), ScratchDos("picked"));
        KivChild<QPushButton>(w, "oCCCancelPB")->click();
    });
    EXPECT_EQ(dialog.exec(), 0);
    EXPECT_EQ(m_prompt->dialogs,
              (std::vector<std::string>{"Select the Project Directory", "Select the Project Directory"}));
}

// The explorer's whole import: file dialog, ImportPrj, the project made and its applications in.
TEST_F(ImportPrjTest, TheExplorersImportMakesTheProjectAndReportsAFailedImport) {
    KivRepositorySession session;
    ASSERT_TRUE(session.Success());
    KivVORepository& repository = *session.Repository();
    m_prompt->fileAnswers = {WriteFolder()};
    KivModalDriver driver(QStringLiteral("ImportPrj"), [&](QWidget* w) {
        KivChild<QLineEdit>(w, "oDCPrjName")->setText(QStringLiteral("Copy"));
        KivChild<QCheckBox>(w, "oDCCreateChk")->setChecked(true);
        KivChild<QPushButton>(w, "oCCImportPB")->click();
    });
    EXPECT_FALSE(KivRunImportPrj(nullptr, repository)) << "Gone's file is missing: no rebuild";
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "An error occured when Importing.");
    EXPECT_EQ(m_prompt->boxes[0].caption, "Error");
    EXPECT_EQ(repository.CurrentProjectName(), "Copy");
    EXPECT_EQ(KivVOProject("Copy").ApplicationNameList(), std::vector<std::string>{"Base"});

    // Cancelled file dialog: nothing happens.
    EXPECT_FALSE(KivRunImportPrj(nullptr, repository));
    EXPECT_EQ(repository.ProjectNameList(), (std::vector<std::string>{"Copy", "Default"}));
}

TEST_F(ImportPrjTest, AnInteractiveExportOffersItsLog) {
    KivRepositorySession session;
    ASSERT_TRUE(session.Success());
    std::filesystem::create_directories(Scratch() / "out");
    m_prompt->boxAnswers = {KivBox::IdYes};
    std::string shown;
    KivModalDriver driver(QStringLiteral("SourceDlg"), [&](QWidget* w) {
        shown = w->windowTitle().toStdString() + "|" +
                KivChild<QPlainTextEdit>(w, "SourceMLE")->toPlainText().toStdString();
        KivChild<QPushButton>(w, "oCCOkPB")->click();
    });
    EXPECT_TRUE(KivRunExportPrj(nullptr, *session.Repository(), ScratchDos("out"), false, true));
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "Do you wish to view the log file ?");
    EXPECT_EQ(m_prompt->boxes[0].caption, "Export Project");
    EXPECT_EQ(shown,
              "Export Project : Default|Exporting Project .\nProject : Default\nApplication Count: 0\n\n");

    // Export All into a base folder that cannot be made: "Operation Aborted.".
    WriteFile(Scratch() / "file", "x");
    KivRunExportAllPrj(nullptr, *session.Repository(), ScratchDos("file\\base"), false);
    ASSERT_EQ(m_prompt->boxes.size(), 2u);
    EXPECT_EQ(m_prompt->boxes[1].text, "Operation Aborted.");
    EXPECT_EQ(m_prompt->boxes[1].caption, "Error");
}
