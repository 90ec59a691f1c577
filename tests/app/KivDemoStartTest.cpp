#include "app/KivDemoStart.h"

#include "common/KivScriptedPrompt.h"
#include "common/KivTestHome.h"
#include "engine/KivSqliteEngine.h"
#include "explorer/KivExplorerStart.h"
#include "explorer/RepoExplorer.h"
#include "platform/KivDosPath.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"

#include <QImage>
#include <QTreeWidget>

#include <memory>

namespace {

QStringList Texts(const QTreeWidgetItem* node) {
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts << node->child(i)->text(0);
    return texts;
}

QStringList ListNames(const RepoExplorer& window) {
    QStringList names;
    for (int i = 0; i < window.ListWindow()->topLevelItemCount(); ++i)
        names << window.ListWindow()->topLevelItem(i)->text(0);
    return names;
}

} // namespace

class KivDemoStartTest : public KivTestHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        m_scope = std::make_unique<KivPromptScope>(m_prompt);
    }
    void TearDown() override {
        m_start.reset();
        m_scope.reset();
        KivTestHome::TearDown();
    }
    RepoExplorer& Start() {
        m_start = std::make_unique<KivExplorerStart>(std::make_shared<KivSqliteEngine>());
        EXPECT_TRUE(m_start->Success());
        return *m_start->Window();
    }

    std::shared_ptr<KivScriptedPrompt> m_prompt = std::make_shared<KivScriptedPrompt>();
    std::unique_ptr<KivPromptScope> m_scope;
    std::unique_ptr<KivExplorerStart> m_start;
};

TEST_F(KivDemoStartTest, OptionsOfTheCommandLine) {
    KivExplorerOptions options;
    bool help = true;
    QString error;
    ASSERT_TRUE(KivParseExplorerOptions({"kivexplorer"}, options, help, error));
    EXPECT_FALSE(help);
    EXPECT_TRUE(options.demoDir.isEmpty() && options.select.isEmpty() && options.screenshot.isEmpty())
        << "without options nothing is loaded";

    ASSERT_TRUE(KivParseExplorerOptions(
        {"kivexplorer", "--demo", "/src/samples", "--select=A/B c/D", "--screenshot", "out.png"}, options,
        help, error))
        << error.toStdString();
    EXPECT_EQ(options.demoDir, "/src/samples");
    EXPECT_EQ(options.select, "A/B c/D");
    EXPECT_EQ(options.screenshot, "out.png");

    ASSERT_TRUE(KivParseExplorerOptions({"kivexplorer", "--help"}, options, help, error));
    EXPECT_TRUE(help);
    EXPECT_TRUE(KivExplorerUsage().contains("--select"));

    EXPECT_FALSE(KivParseExplorerOptions({"kivexplorer", "--demo"}, options, help, error));
    EXPECT_TRUE(error.contains("demo")) << error.toStdString();
    EXPECT_FALSE(KivParseExplorerOptions({"kivexplorer", "--colour"}, options, help, error));
    EXPECT_TRUE(error.contains("colour")) << error.toStdString();
    ASSERT_TRUE(KivParseExplorerOptions({"kivexplorer", "orders.aef"}, options, help, error));
    EXPECT_EQ(options.file, "orders.aef");
    EXPECT_FALSE(KivParseExplorerOptions({"kivexplorer", "orders.aef", "stray"}, options, help, error));
    EXPECT_TRUE(error.contains("stray")) << error.toStdString();
}

TEST_F(KivDemoStartTest, AnEmptyRepositoryIsFilledAndTheWindowOpensOnTheDemo) {
    RepoExplorer& window = Start();
    ASSERT_EQ(Texts(window.TreeWindow()->topLevelItem(0)), QStringList{"Default"});

    QString error;
    ASSERT_TRUE(KivLoadDemoIntoExplorer(window, KIV_SAMPLES_DIR, error)) << error.toStdString();
    QTreeWidgetItem* project = window.FindNode("Warehouse");
    ASSERT_NE(project, nullptr) << "the tree was rebuilt";
    EXPECT_EQ(window.TreeWindow()->currentItem(), project);
    EXPECT_TRUE(project->isExpanded());
    EXPECT_EQ(Texts(project),
              (QStringList{"Common Lib", "Inventory", "Inventory Hooks", "Ledger Lib", "System Classes"}));
    EXPECT_TRUE(m_prompt->boxes.empty());

    // A second start with the option finds the demo there and keeps it current.
    m_start.reset();
    RepoExplorer& again = Start();
    ASSERT_TRUE(KivLoadDemoIntoExplorer(again, KIV_SAMPLES_DIR, error)) << error.toStdString();
    EXPECT_EQ(again.TreeWindow()->currentItem(), again.FindNode("Warehouse"));
    EXPECT_EQ(KivVOProject("Warehouse").ApplicationNameList().size(), 5u);
}

TEST_F(KivDemoStartTest, ABrokenSamplesFolderIsReportedAndTheWindowStaysAsItWas) {
    RepoExplorer& window = Start();
    QString error;
    EXPECT_FALSE(KivLoadDemoIntoExplorer(window, QString::fromStdString(Scratch().string()), error));
    EXPECT_TRUE(error.contains("demo.ini")) << error.toStdString();
    EXPECT_EQ(Texts(window.TreeWindow()->topLevelItem(0)), QStringList{"Default"});
    EXPECT_EQ(window.FindNode("Warehouse"), nullptr);
}

TEST_F(KivDemoStartTest, SelectingAPathShowsTheModulesVisibleEntities) {
    RepoExplorer& window = Start();
    QString error;
    ASSERT_TRUE(KivLoadDemoIntoExplorer(window, KIV_SAMPLES_DIR, error)) << error.toStdString();

    ASSERT_TRUE(KivSelectTreePath(window, "warehouse/LEDGER LIB/ Accounts ", error)) << error.toStdString();
    QTreeWidgetItem* current = window.TreeWindow()->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(0), "Accounts");
    EXPECT_TRUE(current->parent()->isExpanded());
    const QStringList rows = ListNames(window);
    EXPECT_EQ(rows.size(), 6) << rows.join(", ").toStdString();
    EXPECT_TRUE(rows.contains("Access:Account:Balance")) << rows.join(", ").toStdString();
    EXPECT_FALSE(rows.join(",").contains("Audit")) << "hidden entities stay hidden";

    ASSERT_TRUE(KivSelectTreePath(window, "Warehouse/Inventory", error));
    EXPECT_EQ(ListNames(window), (QStringList{"Reports", "Start", "Stock Window"}));

    EXPECT_FALSE(KivSelectTreePath(window, "Warehouse/Inventory/Printing", error));
    EXPECT_EQ(error, "Not in the tree: Printing (below Inventory)");
    EXPECT_FALSE(KivSelectTreePath(window, "Shop", error));
}

TEST_F(KivDemoStartTest, ThePictureIsThePngOfTheWindow) {
    RepoExplorer& window = Start();
    window.resize(800, 500);
    const QString file = QString::fromStdString((Scratch() / "shot.png").string());
    ASSERT_TRUE(KivSaveWindowPicture(window, file));
    QImage image(file);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size() / image.devicePixelRatio(), window.size());
    EXPECT_FALSE(
        KivSaveWindowPicture(window, QString::fromStdString((Scratch() / "no" / "shot.png").string())));
}
