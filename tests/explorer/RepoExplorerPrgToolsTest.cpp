#include "RepoExplorerFixture.h"
#include "common/KivModalDriver.h"
#include "common/KivScriptedPrompt.h"
#include "explorer/RepoExplorer.h"
#include "explorer/dialogs/ExportAsPrg.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>

namespace fs = std::filesystem;

// The explorer over the project "Shop" with the application "Orders" and the library "Runtime",
// which is a system library; the menu items are triggered as a person would choose them.
class RepoExplorerPrgToolsTest : public RepoExplorerTest {
protected:
    void SetUp() override {
        RepoExplorerTest::SetUp();
        KivTestEntity start;
        start.name = "Start";
        start.source = "FUNCTION Start()\r\nRETURN NIL";
        m_orders = Import("Shop", {"Orders", false, false, {{"Main", {start}}, {"Util", {}}}})->ID();
        m_runtime = Import("Shop", {"Runtime", true, false, {}})->ID();
        Engine().systemLibraries.insert(m_runtime);
        Repo().CurrentProjectName("Shop");
        m_prompt = std::make_shared<KivScriptedPrompt>();
        m_scope = std::make_unique<KivPromptScope>(m_prompt);
    }
    void TearDown() override {
        m_scope.reset();
        RepoExplorerTest::TearDown();
    }

    void Select(RepoExplorer& explorer, uint16_t appId) {
        QTreeWidgetItem* shop = explorer.FindNode("Shop");
        ASSERT_NE(shop, nullptr);
        shop->setExpanded(true);
        char digits[16];
        std::snprintf(digits, sizeof digits, "%05u", static_cast<unsigned>(appId));
        QTreeWidgetItem* node = nullptr;
        for (int i = 0; i < shop->childCount(); ++i)
            if (explorer.Record(shop->child(i)) && explorer.Record(shop->child(i))->appId == appId)
                node = shop->child(i);
        ASSERT_NE(node, nullptr) << digits;
        explorer.TreeWindow()->setCurrentItem(node);
    }

    // Triggers the menu item and answers the folder dialog with the folder.
    void ExportTo(RepoExplorer& explorer, const std::string& folder) {
        KivModalDriver dialog(QStringLiteral("ExportAsPrg"), [&](QWidget* w) {
            auto* folderDialog = static_cast<ExportAsPrg*>(w);
            EXPECT_TRUE(folderDialog->oDCAbortChk()->isHidden());
            EXPECT_TRUE(folderDialog->oDCDLLChk()->isHidden());
            folderDialog->oDCFolderPath()->setText(QString::fromStdString(folder));
            folderDialog->oCCExportPB()->click();
        });
        explorer.MenuItem(RepoExplorer::IDM_ExportAsPrg)->trigger();
    }

    uint16_t m_orders = 0;
    uint16_t m_runtime = 0;
    std::shared_ptr<KivScriptedPrompt> m_prompt;
    std::unique_ptr<KivPromptScope> m_scope;
};

TEST_F(RepoExplorerPrgToolsTest, ExportAndImportAsExternalModules) {
    RepoExplorer explorer;
    ASSERT_TRUE(explorer.IsValid());
    for (int id : {RepoExplorer::IDM_ExportAsPrg, RepoExplorer::IDM_ImportAsPrg, RepoExplorer::IDM_SaveReg,
                   RepoExplorer::IDM_ExportPath, RepoExplorer::IDM_DeletePrj})
        EXPECT_TRUE(explorer.MenuItem(id)->isEnabled()) << id;

    // A system library is refused before any dialog.
    Select(explorer, m_runtime);
    explorer.MenuItem(RepoExplorer::IDM_ExportAsPrg)->trigger();
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].text, "You can't export a System Library !");

    Select(explorer, m_orders);
    m_prompt->boxAnswers = {KivBox::IdNo};
    ExportTo(explorer, ScratchDos("prg"));
    EXPECT_EQ(m_prompt->boxes.back().text, "Do you wish to view the log file ?");
    EXPECT_TRUE(fs::exists(Scratch() / "prg" / "Orders" / "Orders.KEA"));
    EXPECT_TRUE(fs::exists(Scratch() / "prg" / "Orders" / "Main.prg"));

    // The import under a new name shows up under the project at once.
    m_prompt->fileAnswers = {ScratchDos("prg\\Orders\\Orders.KEA")};
    KivModalDriver summary(QStringLiteral("ImportList"), [](QWidget* w) {
        KivModalDriver rename(QStringLiteral("KivInputDlg"), [](QWidget* box) {
            KivChild<QLineEdit>(box, "oDCValue")->setText(QStringLiteral("Orders2"));
            KivChild<QPushButton>(box, "oCCOkPB")->click();
        });
        KivChild<QPushButton>(w, "oCCRenamePB")->click();
        KivChild<QPushButton>(w, "oCCImportPB")->click();
    });
    explorer.MenuItem(RepoExplorer::IDM_ImportAsPrg)->trigger();
    auto created = KivVOProject("Shop").ApplicationFind("Orders2");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->ModuleNameList(), (std::vector<std::string>{"Main", "Util"}));
    QTreeWidgetItem* shop = explorer.FindNode("Shop");
    QStringList children;
    for (int i = 0; i < shop->childCount(); ++i)
        children << shop->child(i)->text(0);
    EXPECT_EQ(children, (QStringList{"Orders", "Orders2", "Runtime"}));
    EXPECT_EQ(explorer.ListWindow()->topLevelItemCount(), 3);
}

TEST_F(RepoExplorerPrgToolsTest, ExportPathSaveRegAndDeleteProject) {
    RepoExplorer explorer;
    {
        KivModalDriver dialog(QStringLiteral("ExportAsPrg"), [](QWidget* w) {
            auto* folderDialog = static_cast<ExportAsPrg*>(w);
            EXPECT_EQ(folderDialog->windowTitle(),
                      QStringLiteral("Export base Folder for all applications."));
            EXPECT_EQ(folderDialog->oCCExportPB()->text(), QStringLiteral("&Ok"));
            EXPECT_TRUE(folderDialog->oDCAbortChk()->isHidden());
            folderDialog->oDCFolderPath()->setText(QStringLiteral("D:\\AEF"));
            folderDialog->oCCExportPB()->click();
        });
        explorer.MenuItem(RepoExplorer::IDM_ExportPath)->trigger();
    }
    EXPECT_EQ(KivVOProject("Shop").ApplicationFind("Orders")->FullPath(), "D:\\AEF\\Orders.AEF");
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].caption, "Export FileName");

    m_prompt->fileAnswers = {ScratchDos("ide.reg")};
    {
        KivModalDriver dialog(QStringLiteral("ExportRegistry"), [](QWidget* w) {
            KivChild<QCheckBox>(w, "oDCChk3")->setChecked(true);
            KivChild<QPushButton>(w, "oCCExportPB")->click();
        });
        explorer.MenuItem(RepoExplorer::IDM_SaveReg)->trigger();
    }
    EXPECT_NE(ReadFile(Scratch() / "ide.reg").find("\\Directories]\r\n"), std::string::npos);

    // "Default" comes before "Shop": deleting Shop, the last, makes Default current.
    m_prompt->boxAnswers = {KivBox::IdYes};
    explorer.MenuItem(RepoExplorer::IDM_DeletePrj)->trigger();
    EXPECT_EQ(Repo().ProjectNameList(), std::vector<std::string>{"Default"});
    EXPECT_EQ(Repo().CurrentProjectName(), "Default");
    EXPECT_EQ(explorer.FindNode("Shop"), nullptr);
    EXPECT_NE(explorer.FindNode("Default"), nullptr);
}
