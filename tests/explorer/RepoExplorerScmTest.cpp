#include "RepoExplorerFixture.h"
#include "common/KivModalDriver.h"
#include "common/KivScriptedPrompt.h"
#include "explorer/RepoExplorer.h"
#include "explorer/dialogs/CompareDlg.h"
#include "explorer/dialogs/ExportAsPrg.h"
#include "explorer/dialogs/ImportModules.h"
#include "repository/KivVORepository.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>

namespace fs = std::filesystem;

// The explorer over the project Shop with the application Orders; the three module items are
// chosen as a person would, each dialog answered as it opens.
class RepoExplorerScmTest : public RepoExplorerTest {
protected:
    void SetUp() override {
        RepoExplorerTest::SetUp();
        Import("Shop", {"Orders",
                        false,
                        false,
                        {{"Main", {KivEntity("START", "FUNCTION Start()", "FUNCTION Start()\r\nRETURN NIL\r\n")}},
                         {"Util", {KivEntity("HELP", "FUNCTION Help()", "FUNCTION Help()\r\nRETURN 1\r\n")}}}});
        Repo().CurrentProjectName("Shop");
        m_prompt = std::make_shared<KivScriptedPrompt>();
        m_scope = std::make_unique<KivPromptScope>(m_prompt);
    }
    void TearDown() override {
        m_scope.reset();
        RepoExplorerTest::TearDown();
    }

    // Selects the node of the application (or of its module) below Shop.
    void Select(RepoExplorer& explorer, const std::string& app, const std::string& module = {}) {
        QTreeWidgetItem* shop = explorer.FindNode("Shop");
        ASSERT_NE(shop, nullptr);
        shop->setExpanded(true);
        for (int i = 0; i < shop->childCount(); ++i) {
            QTreeWidgetItem* node = shop->child(i);
            if (node->text(0).toStdString() != app)
                continue;
            node->setExpanded(true);
            for (int j = 0; j < node->childCount() && !module.empty(); ++j)
                if (node->child(j)->text(0).toStdString() == module)
                    node = node->child(j);
            explorer.TreeWindow()->setCurrentItem(node);
            return;
        }
        FAIL() << "no node " << app;
    }

    std::shared_ptr<KivScriptedPrompt> m_prompt;
    std::unique_ptr<KivPromptScope> m_scope;
};

TEST_F(RepoExplorerScmTest, ModulesOutInAndCompared) {
    RepoExplorer explorer;
    ASSERT_TRUE(explorer.IsValid());
    Select(explorer, "Orders");

    // Out, with the PRG files; the log is not wanted.
    m_prompt->boxAnswers = {KivBox::IdNo};
    {
        KivModalDriver dialog(QStringLiteral("ExportAsPrg"), [&](QWidget* w) {
            auto* folder = static_cast<ExportAsPrg*>(w);
            EXPECT_EQ(folder->windowTitle(), QStringLiteral("Export Modules"));
            EXPECT_TRUE(folder->oDCAbortChk()->isHidden());
            KivChild<QCheckBox>(w, "oDCPrgChk")->setChecked(true);
            folder->oDCFolderPath()->setText(QString::fromStdString(ScratchDos("scm")));
            folder->oCCExportPB()->click();
        });
        explorer.MenuItem(RepoExplorer::IDM_ExportMef)->trigger();
    }
    const fs::path out = Scratch() / "scm" / "Orders";
    EXPECT_EQ(ReadFolder(out).size(), 4u);
    ASSERT_TRUE(fs::exists(out / "Util.MEF"));
    ASSERT_EQ(m_prompt->boxes.size(), 1u);
    EXPECT_EQ(m_prompt->boxes[0].caption, "Export Modules");

    // In, as a new application of the project: the tree shows it at once.
    m_prompt->boxAnswers = {KivBox::IdNo};
    {
        KivModalDriver dialog(QStringLiteral("ImportModules"), [&](QWidget* w) {
            auto* import = static_cast<ImportModules*>(w);
            EXPECT_EQ(import->oDCAppName()->text(), QStringLiteral("Orders"));
            EXPECT_FALSE(import->oCCImportPB()->isEnabled());
            import->AddPaths({ScratchDos("scm\\Orders")});
            EXPECT_EQ(import->oDCFileList()->count(), 2);
            import->oDCAppName()->setText(QStringLiteral("Copy"));
            import->oCCImportPB()->click();
        });
        explorer.MenuItem(RepoExplorer::IDM_ImportMef)->trigger();
    }
    QTreeWidgetItem* shop = explorer.FindNode("Shop");
    QStringList apps;
    for (int i = 0; i < shop->childCount(); ++i)
        apps << shop->child(i)->text(0);
    EXPECT_EQ(apps, (QStringList{"Copy", "Orders"}));

    // The module compared with its MEF after a change of HELP: the tree names it, the two
    // sources stand side by side.
    std::string mef = ReadFile(out / "Util.MEF");
    mef.replace(mef.find("RETURN 1"), 8, "RETURN 2");
    WriteFile(Scratch() / "util.mef", mef);
    Select(explorer, "Orders", "Util");
    m_prompt->fileAnswers = {ScratchDos("util.mef")};
    {
        KivModalDriver dialog(QStringLiteral("CompareDlg"), [&](QWidget* w) {
            auto* compare = static_cast<CompareDlg*>(w);
            QTreeWidget* tree = compare->oDCChangeTree();
            ASSERT_EQ(tree->topLevelItemCount(), 1);
            EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Util"));
            ASSERT_EQ(tree->topLevelItem(0)->childCount(), 1);
            EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(1), QStringLiteral("changed (source)"));
            EXPECT_TRUE(compare->SelectEntity("Util", "HELP"));
            EXPECT_EQ(compare->oDCOldSource()->toPlainText(), QStringLiteral("FUNCTION Help()\nRETURN 2"));
            EXPECT_EQ(compare->oDCNewSource()->toPlainText(), QStringLiteral("FUNCTION Help()\nRETURN 1"));
            compare->oCCClosePB()->click();
        });
        explorer.MenuItem(RepoExplorer::IDM_CompareFile)->trigger();
    }
}
