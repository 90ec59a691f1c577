#include "RepoExplorerFixture.h"

#include "common/KivModalDriver.h"
#include "common/KivScriptedPrompt.h"
#include "explorer/RepoExplorer.h"
#include "explorer/transfer/KivAppExport.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivProgress.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

QStringList Texts(const QTreeWidgetItem* node) {
    QStringList texts;
    for (int i = 0; node && i < node->childCount(); ++i)
        texts << node->child(i)->text(0);
    return texts;
}

QStringList Rows(const QTreeWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(0);
    return texts;
}

} // namespace

// Project Shop: Orders (executable) using Base (library) and Runtime (system library).
class RepoExplorerAppTransferTest : public RepoExplorerTest {
protected:
    void SetUp() override {
        RepoExplorerTest::SetUp();
        if (HasFatalFailure())
            return;
        Import("Shop",
               {"Base", true, false, {{"BaseMod", {KivEntity("BaseFn", "FUNCTION BaseFn()", "x\r\n")}}}});
        m_runtime = Import("Shop", {"Runtime", true, false, {}})->ID();
        m_orders = Import(
            "Shop", {"Orders", false, false, {{"Main", {KivEntity("Start", "FUNCTION Start()", "y\r\n")}}}});
        m_orders->LibraryNameList({"Base", "Runtime"});
        Engine().systemLibraries.insert(m_runtime);
        ASSERT_EQ(Repo().CurrentProjectName("Shop"), "Shop");
        m_prompt = std::make_shared<KivScriptedPrompt>();
        m_scope = std::make_unique<KivPromptScope>(m_prompt);
    }
    void TearDown() override {
        m_scope.reset();
        RepoExplorerTest::TearDown();
    }

    void Select(RepoExplorer& explorer, const std::string& app) {
        QTreeWidgetItem* shop = explorer.FindNode("Shop");
        ASSERT_NE(shop, nullptr);
        explorer.ExpandItem(shop);
        for (int i = 0; i < shop->childCount(); ++i)
            if (shop->child(i)->text(0) == QString::fromStdString(app))
                explorer.TreeWindow()->setCurrentItem(shop->child(i));
        ASSERT_EQ(explorer.Application()->Name(), app);
    }

    std::shared_ptr<KivVOApplication> m_orders;
    uint16_t m_runtime = 0;
    std::shared_ptr<KivScriptedPrompt> m_prompt;
    std::unique_ptr<KivPromptScope> m_scope;
};

TEST_F(RepoExplorerAppTransferTest, ExportAsksTheFolderAndOffersTheLog) {
    RepoExplorer explorer;
    ASSERT_TRUE(explorer.MenuItem(RepoExplorer::IDM_ExportApp)->isEnabled());
    Select(explorer, "Orders");
    const std::string base = ScratchDos("out");
    m_prompt->boxAnswers = {KivBox::IdYes};
    std::string shown;
    KivModalDriver folder(QStringLiteral("ExportAsPrg"), [&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Export base Folder for Orders"));
        auto* dll = KivChild<QCheckBox>(w, "oDCDLLChk");
        EXPECT_TRUE(dll->isVisible());
        dll->setChecked(true);
        KivChild<QLineEdit>(w, "oDCFolderPath")->setText(QString::fromStdString(base));
        KivChild<QPushButton>(w, "oCCExportPB")->click();
    });
    KivModalDriver viewer(QStringLiteral("SourceDlg"), [&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Export Application : Orders"));
        shown = KivChild<QPlainTextEdit>(w, "SourceMLE")->toPlainText().toStdString();
        static_cast<QDialog*>(w)->accept();
    });
    explorer.MenuItem(RepoExplorer::IDM_ExportApp)->trigger();

    const fs::path out = Scratch() / "out" / "Orders";
    EXPECT_EQ(ReadFile(out / "Orders.KAI"),
              "[APP]\r\nName=Orders\r\nAEF=Orders.AEF\r\n\r\n[LIB001]\r\nName=Base\r\nAEF=Base.AEF\r\n\r\n");
    const std::string log = ReadFile(out / "Orders.log");
    EXPECT_NE(log.find("Include DLLs: True\r\n"), std::string::npos);
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "Do you wish to view the log file ?");
    EXPECT_EQ(m_prompt->boxes[0].caption, "Export Application and Implicants");
    EXPECT_NE(shown.find("Library : Base"), std::string::npos) << shown;
}

TEST_F(RepoExplorerAppTransferTest, ExportRefusesASystemLibraryAndStopsOnCancel) {
    RepoExplorer explorer;
    Select(explorer, "Runtime");
    explorer.ExportApp();
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "You can't export a System Library !");
    EXPECT_EQ(m_prompt->boxes[0].caption, "Error");

    Select(explorer, "Orders");
    {
        KivModalDriver folder(QStringLiteral("ExportAsPrg"),
                              [](QWidget* w) { KivChild<QPushButton>(w, "oCCCancelPB")->click(); });
        explorer.ExportApp();
    }
    EXPECT_EQ(m_prompt->boxes.size(), 1u);

    // Without a selected application nothing happens at all.
    explorer.TreeWindow()->setCurrentItem(explorer.FindNode("Shop"));
    explorer.ExportApp();
    EXPECT_EQ(m_prompt->boxes.size(), 1u);
}

TEST_F(RepoExplorerAppTransferTest, ImportShowsTheSummaryImportsAndReloadsTheProject) {
    KivAppExportOptions options;
    options.folder = ScratchDos("out");
    KivSilentProgress silent;
    ASSERT_EQ(KivExportApp(*m_orders, options, silent).outcome, KivTransferOutcome::Done);
    const std::string kai = ScratchDos("out\\Orders\\Orders.KAI");

    RepoExplorer explorer;
    ASSERT_TRUE(explorer.MenuItem(RepoExplorer::IDM_ImportApp)->isEnabled());
    // Orders exists: it comes in as Orders2, Base (existing) is kept.
    m_prompt->fileAnswers = {kai};
    KivModalDriver rename(QStringLiteral("KivInputDlg"), [](QWidget* w) {
        KivChild<QLineEdit>(w, "oDCValue")->setText(QStringLiteral("Orders2"));
        KivChild<QPushButton>(w, "oCCOkPB")->click();
    });
    KivModalDriver summary(QStringLiteral("ImportAppList"), [](QWidget* w) {
        EXPECT_FALSE(KivChild<QPushButton>(w, "oCCImportPB")->isEnabled());
        KivChild<QRadioButton>(w, "oCCKeepRB")->click();
        KivChild<QPushButton>(w, "oCCRenamePB")->click();
        KivChild<QPushButton>(w, "oCCImportPB")->click();
    });
    explorer.MenuItem(RepoExplorer::IDM_ImportApp)->trigger();

    EXPECT_EQ(KivVOProject("Shop").ApplicationNameList(),
              (std::vector<std::string>{"Base", "Orders", "Orders2", "Runtime"}));
    QTreeWidgetItem* shop = explorer.FindNode("Shop");
    EXPECT_EQ(Texts(shop), (QStringList{"Base", "Orders", "Orders2", "Runtime"}));
    EXPECT_EQ(Rows(explorer.ListWindow()), (QStringList{"Base", "Orders", "Orders2", "Runtime"}));
    EXPECT_TRUE(m_prompt->boxes.empty());
}

TEST_F(RepoExplorerAppTransferTest, ImportCancelledInTheSummaryChangesNothing) {
    RepoExplorer explorer;
    m_prompt->fileAnswers = {std::nullopt};
    explorer.ImportApp(); // no file chosen

    KivAppExportOptions options;
    options.folder = ScratchDos("out");
    KivSilentProgress silent;
    ASSERT_EQ(KivExportApp(*m_orders, options, silent).outcome, KivTransferOutcome::Done);
    m_prompt->fileAnswers = {ScratchDos("out\\Orders\\Orders.KAI")};
    KivModalDriver summary(QStringLiteral("ImportAppList"),
                           [](QWidget* w) { KivChild<QPushButton>(w, "oCCCancelPB")->click(); });
    explorer.ImportApp();
    EXPECT_EQ(KivVOProject("Shop").ApplicationNameList(),
              (std::vector<std::string>{"Base", "Orders", "Runtime"}));
    EXPECT_EQ(m_prompt->dialogs.size(), 2u);
}
