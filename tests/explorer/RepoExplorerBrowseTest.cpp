#include "RepoExplorerFixture.h"

#include "common/KivModalDriver.h"
#include "explorer/RepoExplorer.h"
#include "explorer/SourcePane.h"
#include "explorer/dialogs/KivProgressDlg.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

const char* kInit = "METHOD Init() CLASS Customer\r\n\tSUPER:Init()\r\n\tSELF:nTotal := 0\r\nRETURN SELF\r\n";
const char* kPrintTotal = "FUNCTION PrintTotal(nTotal)\r\n\tQOut(nTotal)\r\nRETURN NIL\r\n";
const char* kLegacy = "FUNCTION Legacy()\r\n// nTotal is gone\r\nRETURN NIL\r\n";

// A column's texts joined by "|", readable when a comparison fails.
std::string Column(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts.join('|').toStdString();
}

QString Shown(const RepoExplorer& explorer) {
    return explorer.Pane()->Text()->toPlainText();
}

} // namespace

// Shop/Orders with the modules Customer and Reports, Archive/Old with the module Legacy; Default
// stays current.
class RepoExplorerBrowseTest : public RepoExplorerTest {
protected:
    void SetUp() override {
        RepoExplorerTest::SetUp();
        if (HasFatalFailure())
            return;
        Import("Shop",
               {"Orders",
                false,
                false,
                {{"Customer",
                  {KivEntity("Customer", "CLASS Customer", "CLASS Customer\r\n"),
                   KivEntity("Init", "METHOD Init() CLASS Customer", kInit)}},
                 {"Reports", {KivEntity("PrintTotal", "FUNCTION PrintTotal(nTotal)", kPrintTotal)}}}});
        Import("Archive",
               {"Old", false, false, {{"Legacy", {KivEntity("Legacy", "FUNCTION Legacy()", kLegacy)}}}});
        m_orders = KivVOProject("Shop").ApplicationFind("Orders")->ID();
        m_customer = ModuleId("Shop", "Orders", "Customer");
        ASSERT_EQ(Repo().CurrentProjectName("Default"), "Default");
    }

    void SelectCustomer(RepoExplorer& explorer) {
        explorer.FindNode("Shop")->setExpanded(true);
        explorer.FindNode(Key(m_orders))->setExpanded(true);
        explorer.TreeWindow()->setCurrentItem(explorer.FindNode(Key(m_orders, m_customer)));
    }
    static std::string Key(uint16_t app, uint32_t module = 0) {
        char text[32];
        std::snprintf(text, sizeof text, module ? "Shop%010u%010u" : "Shop%010u", app, module);
        return text;
    }

    uint16_t m_orders = 0;
    uint32_t m_customer = 0;
};

TEST_F(RepoExplorerBrowseTest, ThePaneAndTheStatusFollowTheSelection) {
    RepoExplorer explorer;
    SelectCustomer(explorer);
    QTreeWidget* list = explorer.ListWindow();
    ASSERT_EQ(Column(list, 0), "Customer|Customer:Init");
    // A module node shows the module whole; the status names the node and counts its rows.
    EXPECT_EQ(Shown(explorer), "CLASS Customer\n\n" + QString(kInit).replace("\r\n", "\n") + "\n");
    EXPECT_EQ(explorer.StatusText()->text(), "Visual Objects / Shop / Orders / Customer  (2 rows)");
    // Columns are as wide as their texts.
    EXPECT_GE(list->columnWidth(2), list->fontMetrics().horizontalAdvance(list->topLevelItem(0)->text(2)));

    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_EQ(explorer.Pane()->Caption(), "Customer:Init");
    EXPECT_EQ(Shown(explorer), QString(kInit).replace("\r\n", "\n"));
    EXPECT_EQ(explorer.Pane()->Text()->document()->blockCount(), 5);

    // Ctrl+F finds in the pane, wrapping at the end.
    explorer.Pane()->Text()->setFocus();
    QTest::keyClick(explorer.Pane()->Text(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(explorer.Pane()->FindLine()->isVisibleTo(&explorer));
    QTest::keyClicks(explorer.Pane()->FindLine(), "self");
    EXPECT_EQ(explorer.Pane()->Text()->textCursor().blockNumber(), 2);
    ASSERT_TRUE(explorer.Pane()->FindNext());
    EXPECT_EQ(explorer.Pane()->Text()->textCursor().blockNumber(), 3);
    ASSERT_TRUE(explorer.Pane()->FindNext());
    EXPECT_EQ(explorer.Pane()->Text()->textCursor().blockNumber(), 2);

    explorer.TreeWindow()->setCurrentItem(explorer.FindNode("Shop"));
    EXPECT_TRUE(Shown(explorer).isEmpty());
    EXPECT_EQ(explorer.StatusText()->text(), "Visual Objects / Shop  (1 row)");
}

TEST_F(RepoExplorerBrowseTest, FindEntityJumpsToTheModuleAndTheRow) {
    RepoExplorer explorer;
    KivModalDriver driver("FindEntityDlg", [](QWidget* dialog) {
        auto* text = KivChild<QLineEdit>(dialog, "oDCFindText");
        auto* matches = KivChild<QTreeWidget>(dialog, "oDCMatches");
        QTest::keyClicks(text, "init");
        EXPECT_EQ(Column(matches, 0), "Customer:Init");
        QTest::keyClicks(text, "X");
        EXPECT_EQ(Column(matches, 0), "");
        text->setText("total");
        // Across projects; the name that begins with the text first.
        EXPECT_EQ(Column(matches, 0), "PrintTotal");
        text->setText("e");
        EXPECT_EQ(Column(matches, 0), "Legacy|Customer|Customer:Init");
        EXPECT_EQ(Column(matches, 2), "Archive|Shop|Shop");
        QTest::keyClick(text, Qt::Key_Down);
        QTest::keyClick(text, Qt::Key_Return);
    });
    explorer.FindEntity();
    EXPECT_EQ(explorer.TreeWindow()->currentItem(), explorer.FindNode(Key(m_orders, m_customer)));
    ASSERT_NE(explorer.ListWindow()->currentItem(), nullptr);
    EXPECT_EQ(explorer.ListWindow()->currentItem()->text(0), "Customer");
    EXPECT_EQ(Shown(explorer), "CLASS Customer\n");
}

TEST_F(RepoExplorerBrowseTest, FindInSourcesListsTheLinesAndSurvivesCancel) {
    ASSERT_EQ(Repo().CurrentProjectName("Shop"), "Shop");
    RepoExplorer explorer;
    QTreeWidget* results = explorer.SearchResults();
    ASSERT_TRUE(explorer.FindInSources("ntotal"));
    EXPECT_EQ(Column(results, 0), "Shop / Orders / Customer / Customer:Init|Shop / Orders / Reports / "
                                  "PrintTotal|Shop / Orders / Reports / PrintTotal");
    EXPECT_EQ(Column(results, 1), "3|1|2");
    EXPECT_EQ(Column(results, 2), "SELF:nTotal := 0|FUNCTION PrintTotal(nTotal)|QOut(nTotal)");

    ASSERT_TRUE(explorer.FindInSources("^//.*GONE$", true, true));
    EXPECT_EQ(Column(results, 0), "Archive / Old / Legacy / Legacy");
    EXPECT_EQ(Repo().CurrentProjectName(), "Shop");
    // A double-click shows the entity with the line marked.
    emit results->itemDoubleClicked(results->topLevelItem(0), 0);
    EXPECT_EQ(explorer.ListWindow()->currentItem()->text(0), "Legacy");
    EXPECT_EQ(explorer.Pane()->Text()->textCursor().blockNumber(), 1);
    ASSERT_EQ(explorer.Pane()->Text()->extraSelections().size(), 1);

    // Cancel pressed as soon as the progress shows: nothing is listed, the current project stays
    // and the next search runs.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&explorer] {
        if (auto* progress = explorer.findChild<KivProgressDlg*>("SearchProgress"))
            progress->lNeedAbort = true;
    });
    const std::string current = Repo().CurrentProjectName();
    cancel.start(0);
    ASSERT_TRUE(explorer.FindInSources("nTotal", false, true));
    cancel.stop();
    EXPECT_EQ(results->topLevelItemCount(), 0);
    EXPECT_TRUE(explorer.findChild<QLabel*>("SearchSummary")->text().contains("cancelled"));
    EXPECT_EQ(Repo().CurrentProjectName(), current);
    ASSERT_TRUE(explorer.FindInSources("nTotal", false, true));
    EXPECT_EQ(results->topLevelItemCount(), 4);
}

TEST_F(RepoExplorerBrowseTest, AnOpenedAefListsItsModulesAndADamagedOneSaysWhere) {
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName("Shipping").AppInfo(1300000000, 1200000000);
    w.Module("Routes", 1100000000, 1000000000).Entity(KivEntity("Route", "FUNCTION Route()", kPrintTotal));
    w.Module("Depot", 1100000000, 1000000000)
        .Entity(KivEntity("Load", "FUNCTION Load()", "FUNCTION Load()\r\n"))
        .Entity(KivEntity("Count", "ACCESS Count CLASS Depot", "ACCESS Count CLASS Depot\r\n"));
    WriteFile(Scratch() / "shipping.aef", w.End());
    // Cut inside the last entity: what came before stays readable.
    const std::string whole = w.End();
    WriteFile(Scratch() / "cut.aef", whole.substr(0, whole.size() - 40));

    RepoExplorer explorer;
    ASSERT_TRUE(explorer.OpenExportFile((Scratch() / "shipping.aef").string()));
    QTreeWidgetItem* file = explorer.TreeWindow()->topLevelItem(1);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->text(0), "shipping.aef");
    EXPECT_EQ(explorer.TreeWindow()->currentItem(), file);
    ASSERT_EQ(file->childCount(), 2);
    EXPECT_EQ(Column(explorer.ListWindow(), 0), "Depot|Routes");
    EXPECT_FALSE(explorer.Application()->IsValid()) << "no transfer acts on a file";

    explorer.TreeWindow()->setCurrentItem(file->child(0));
    EXPECT_EQ(Column(explorer.ListWindow(), 0), "Access:Depot:Count|Load");
    EXPECT_EQ(Column(explorer.ListWindow(), 1), "Access|Function");
    explorer.ListWindow()->setCurrentItem(explorer.ListWindow()->topLevelItem(1));
    EXPECT_EQ(Shown(explorer), "FUNCTION Load()\n");

    // The tree rebuilt after a transfer keeps the file.
    explorer.BuildExplorer();
    ASSERT_EQ(explorer.TreeWindow()->topLevelItemCount(), 2);

    ASSERT_TRUE(explorer.OpenExportFile((Scratch() / "cut.aef").string()));
    QTreeWidgetItem* cut = explorer.TreeWindow()->topLevelItem(2);
    EXPECT_EQ(cut->text(0), "cut.aef (damaged)");
    EXPECT_TRUE(cut->toolTip(0).contains("offset")) << cut->toolTip(0).toStdString();
    EXPECT_TRUE(explorer.StatusText()->text().contains(cut->toolTip(0)));
    ASSERT_EQ(cut->childCount(), 2);
    EXPECT_EQ(cut->child(1)->text(0), "Routes");
    explorer.TreeWindow()->setCurrentItem(cut->child(0));
    EXPECT_EQ(Column(explorer.ListWindow(), 0), "Load");
}
