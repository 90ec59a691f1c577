#include "RepoExplorerFixture.h"

#include "common/KivModalDriver.h"
#include "explorer/RepoExplorer.h"
#include "explorer/dialogs/SourceDlg.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivStringUtil.h"

#include <QListWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

namespace {

const char* kInitSource = "METHOD Init() CLASS Customer\r\nRETURN SELF\r\n";
const char* kStartSource = "FUNCTION Start()\r\nRETURN NIL\r\n";

QStringList Texts(const QTreeWidgetItem* node) {
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts << node->child(i)->text(0);
    return texts;
}

QStringList Column(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

std::string Digits(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%010u", value);
    return buffer;
}

} // namespace

// Project Shop: Orders (executable: Customer with every kind of entity, a hidden module, an
// external one), Tools (library without modules), Bridge (DLL), Runtime (system library).
// Project Archive: Old (no modules). Plus the repository's Default project.
class RepoExplorerWindowTest : public RepoExplorerTest {
protected:
    void SetUp() override {
        RepoExplorerTest::SetUp();
        if (HasFatalFailure())
            return;
        KivTestEntity hidden = KivEntity("Hidden", "FUNCTION Hidden()", "FUNCTION Hidden()\r\n");
        Import("Shop", {"Orders",
                        false,
                        false,
                        {{"Customer",
                          {KivEntity("Customer", "CLASS Customer", "CLASS Customer\r\n"),
                           KivEntity("Init", "METHOD Init() CLASS Customer", kInitSource),
                           KivEntity("Balance", "ACCESS Balance CLASS Customer", "ACCESS Balance\r\n"),
                           KivEntity("Credit", "ASSIGN Credit(n) CLASS Customer", "ASSIGN Credit(n)\r\n"),
                           KivEntity("MAXLEN", "DEFINE MAXLEN := 10", "DEFINE MAXLEN := 10\r\n"),
                           KivEntity("Menu", "FUNCTION Menu()", "FUNCTION Menu()\r\n", 2), hidden,
                           KivEntity("Start", "FUNCTION Start()", kStartSource)}},
                         {"Secret", {KivEntity("Key", "FUNCTION Key()", "FUNCTION Key()\r\n")}},
                         {"Linked", {KivEntity("Ext", "FUNCTION Ext()", "FUNCTION Ext()\r\n")}},
                         {"Quiet", {hidden}}}});
        m_tools = Import("Shop", {"Tools", true, false, {}})->ID();
        m_bridge = Import("Shop", {"Bridge", false, true, {{"Api", {}}}})->ID();
        m_runtime = Import("Shop", {"Runtime", true, false, {}})->ID();
        Import("Archive", {"Old", false, false, {}});
        auto orders = KivVOProject("Shop").ApplicationFind("Orders");
        m_orders = orders->ID();
        m_customer = ModuleId("Shop", "Orders", "Customer");
        Engine().hiddenModules.insert(ModuleId("Shop", "Orders", "Secret"));
        Engine().externalModules.insert(ModuleId("Shop", "Orders", "Linked"));
        Engine().systemLibraries.insert(m_runtime);
        auto quiet = std::make_shared<KivVOModule>(orders, ModuleId("Shop", "Orders", "Quiet"));
        auto customer = std::make_shared<KivVOModule>(orders, m_customer);
        for (const auto& module : {quiet, customer})
            for (const auto& entity : module->EntityList())
                if (KivUpper(entity->Name()) == "HIDDEN")
                    Engine().hiddenEntities.insert(std::static_pointer_cast<KivVOEntity>(entity)->ID());
        for (const auto& entity : customer->EntityList())
            m_entityIds[KivUpper(entity->Name())] = std::static_pointer_cast<KivVOEntity>(entity)->ID();
        ASSERT_TRUE(Repo().CurrentProjectName("Default") == "Default");
    }

    QTreeWidgetItem* Node(RepoExplorer& explorer, const std::string& key) {
        QTreeWidgetItem* node = explorer.FindNode(key);
        EXPECT_NE(node, nullptr) << key;
        return node;
    }
    std::string AppKey(uint16_t appId) { return "Shop" + Digits(appId); }
    std::string CustomerKey() { return AppKey(m_orders) + Digits(m_customer); }
    void Select(RepoExplorer& explorer, const std::string& key) {
        explorer.TreeWindow()->setCurrentItem(Node(explorer, key));
    }

    uint16_t m_orders = 0, m_tools = 0, m_bridge = 0, m_runtime = 0;
    uint32_t m_customer = 0;
    std::map<std::string, uint32_t> m_entityIds;
};

TEST_F(RepoExplorerWindowTest, BuildsRootAndProjectsWithPlaceholdersAndExpandsTheCurrentProject) {
    ASSERT_TRUE(Repo().CurrentProjectName("Shop") == "Shop");
    RepoExplorer explorer;
    ASSERT_TRUE(explorer.IsValid());
    EXPECT_EQ(explorer.windowTitle(), QStringLiteral("Kiv's CA-Visual Objects Repository Tools"));
    QTreeWidget* tree = explorer.findChild<QTreeWidget*>(QStringLiteral("TreeWindow"));
    ASSERT_EQ(tree, explorer.TreeWindow());
    ASSERT_EQ(explorer.findChild<QTreeWidget*>(QStringLiteral("ListWindow")), explorer.ListWindow());

    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("Visual Objects"));
    EXPECT_TRUE(root->font(0).bold());
    EXPECT_EQ(explorer.FindNode("ExplMaster"), root);
    ASSERT_NE(explorer.Record(root), nullptr);
    EXPECT_TRUE(explorer.Record(root)->kind.IsNull());
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(Texts(root), (QStringList{"Archive", "Default", "Shop"}));

    // Unopened projects keep their placeholder; keys are symbols, so case does not matter.
    QTreeWidgetItem* archive = Node(explorer, "ARCHIVE");
    ASSERT_EQ(archive->childCount(), 1);
    EXPECT_EQ(archive->child(0)->text(0), QStringLiteral("Dummy Item"));
    EXPECT_EQ(explorer.FindNode("Archive_KivDummy"), archive->child(0));
    EXPECT_EQ(explorer.Record(archive)->kind.Name(), "PROJECT");
    EXPECT_FALSE(explorer.Record(archive)->object);

    // The current project is selected, expanded and listed.
    QTreeWidgetItem* shop = Node(explorer, "Shop");
    EXPECT_EQ(tree->currentItem(), shop);
    EXPECT_TRUE(shop->isExpanded());
    EXPECT_TRUE(explorer.Record(shop)->object);
    EXPECT_EQ(Texts(shop), (QStringList{"Bridge", "Orders", "Runtime", "Tools"}));
    EXPECT_EQ(Column(explorer.ListWindow(), 0), (QStringList{"Bridge", "Orders", "Runtime", "Tools"}));
    EXPECT_EQ(Repo().CurrentProjectName(), "Shop");
}

TEST_F(RepoExplorerWindowTest, ExpansionLoadsOnceAndOnlyApplicationsWithModulesAreExpandable) {
    RepoExplorer explorer;
    QTreeWidgetItem* shop = Node(explorer, "Shop");
    EXPECT_EQ(shop->childCount(), 1); // the placeholder: Default is current here
    shop->setExpanded(true);
    EXPECT_EQ(Repo().CurrentProjectName(), "Shop");
    ASSERT_EQ(Texts(shop), (QStringList{"Bridge", "Orders", "Runtime", "Tools"}));
    EXPECT_EQ(explorer.FindNode("Shop_KivDummy"), nullptr);

    QTreeWidgetItem* orders = Node(explorer, AppKey(m_orders));
    const RepoExplorer::NodeRecord* record = explorer.Record(orders);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->kind.Name(), "APPLICATION");
    EXPECT_EQ(record->project, "Shop");
    EXPECT_EQ(record->appId, m_orders);
    EXPECT_FALSE(record->object);
    ASSERT_EQ(Texts(orders), QStringList{"Dummy Item"});
    // No modules, no expand button.
    EXPECT_EQ(Node(explorer, AppKey(m_tools))->childCount(), 0);
    EXPECT_EQ(Node(explorer, AppKey(m_runtime))->childCount(), 0);

    Engine().ResetCalls();
    orders->setExpanded(true);
    EXPECT_TRUE(explorer.Record(orders)->object);
    // Visible modules only, the external one with its own icon.
    EXPECT_EQ(Texts(orders), (QStringList{"Customer", "Linked", "Quiet"}));
    QTreeWidgetItem* customer = Node(explorer, CustomerKey());
    EXPECT_EQ(explorer.Record(customer)->kind.Name(), "MODULE");
    EXPECT_EQ(explorer.Record(customer)->modId, m_customer);
    EXPECT_EQ(customer->childCount(), 0);
    const uint32_t firstLoad = Engine().Calls("AppGetFirstModule");
    EXPECT_GT(firstLoad, 0u);

    orders->setExpanded(false);
    orders->setExpanded(true);
    explorer.ExpandItem(orders);
    shop->setExpanded(false);
    shop->setExpanded(true);
    EXPECT_EQ(Texts(orders), (QStringList{"Customer", "Linked", "Quiet"}));
    EXPECT_EQ(Texts(shop), (QStringList{"Bridge", "Orders", "Runtime", "Tools"}));
    EXPECT_EQ(Engine().Calls("AppGetFirstModule"), firstLoad);
}

TEST_F(RepoExplorerWindowTest, ListsRowsAndRecordsForEveryNodeKind) {
    RepoExplorer explorer;
    QTreeWidget* list = explorer.ListWindow();
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Name"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Type"));
    EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("Creation Time"));
    EXPECT_EQ(list->headerItem()->text(3), QStringLiteral("Last Build"));
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    const QRegularExpression moment(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d$"));

    Select(explorer, "ExplMaster");
    EXPECT_EQ(Column(list, 0), (QStringList{"Archive", "Default", "Shop"}));
    EXPECT_EQ(Column(list, 1), (QStringList{"Project", "Project", "Project"}));
    EXPECT_EQ(Column(list, 2), (QStringList{"", "", ""}));
    EXPECT_EQ(explorer.Row(0)->kind.Name(), "PROJECT");

    Select(explorer, "Shop");
    EXPECT_EQ(Repo().CurrentProjectName(), "Shop");
    EXPECT_EQ(Column(list, 0), (QStringList{"Bridge", "Orders", "Runtime", "Tools"}));
    EXPECT_EQ(Column(list, 1), (QStringList{"DLL", "Executable", "System Library", "Library"}));
    for (int row = 0; row < 4; ++row) {
        EXPECT_TRUE(moment.match(list->topLevelItem(row)->text(2)).hasMatch()) << row;
        EXPECT_TRUE(moment.match(list->topLevelItem(row)->text(3)).hasMatch()) << row;
    }
    const RepoExplorer::RowRecord* orders = explorer.Row(1);
    EXPECT_EQ(orders->kind.Name(), "APPLICATION");
    EXPECT_EQ(orders->project, "Shop");
    EXPECT_EQ(orders->appId, m_orders);

    Node(explorer, "Shop")->setExpanded(true);
    Select(explorer, AppKey(m_orders));
    EXPECT_EQ(Column(list, 0), (QStringList{"Customer", "Linked", "Quiet"}));
    EXPECT_EQ(Column(list, 1), (QStringList{"Module", "External Module", "Module"}));
    EXPECT_EQ(explorer.Row(0)->kind.Name(), "MODULE");
    EXPECT_EQ(explorer.Row(0)->modId, m_customer);
    EXPECT_TRUE(moment.match(list->topLevelItem(0)->text(2)).hasMatch());

    // Only visible entities of engine types 1, 3, 4 whose type is in the filter (DEFINE is not).
    Node(explorer, AppKey(m_orders))->setExpanded(true);
    Select(explorer, CustomerKey());
    EXPECT_EQ(Column(list, 0), (QStringList{"Access:Customer:Balance", "Assign:Customer:Credit", "Customer",
                                            "Customer:Init", "Start"}));
    EXPECT_EQ(Column(list, 1), (QStringList{"Access", "Assign", "Class", "Method", "Function"}));
    const RepoExplorer::RowRecord* init = explorer.Row(3);
    EXPECT_EQ(init->kind.Name(), "ENTITY");
    EXPECT_EQ(init->project, "Shop");
    EXPECT_EQ(init->appId, m_orders);
    EXPECT_EQ(init->modId, m_customer);
    EXPECT_EQ(init->entId, m_entityIds["INIT"]);
    EXPECT_EQ(explorer.Row(5), nullptr);

    // A module whose only entity is hidden lists nothing.
    Select(explorer, AppKey(m_orders) + Digits(ModuleId("Shop", "Orders", "Quiet")));
    EXPECT_EQ(list->topLevelItemCount(), 0);
}

TEST_F(RepoExplorerWindowTest, ApplicationAndModuleFollowTheSelectedNode) {
    RepoExplorer explorer;
    Select(explorer, "Shop");
    EXPECT_FALSE(explorer.Application()->IsValid());
    EXPECT_EQ(explorer.Module()->ID(), 0u);
    Node(explorer, "Shop")->setExpanded(true);
    Select(explorer, AppKey(m_orders));
    EXPECT_EQ(explorer.Application()->ID(), m_orders);
    EXPECT_EQ(explorer.Application()->Name(), "Orders");
    EXPECT_EQ(explorer.Module()->ID(), 0u);
    Node(explorer, AppKey(m_orders))->setExpanded(true);
    Select(explorer, CustomerKey());
    EXPECT_EQ(explorer.Application()->ID(), m_orders);
    EXPECT_EQ(explorer.Module()->ID(), m_customer);
    EXPECT_EQ(explorer.Module()->Name(), "Customer");
    explorer.TreeWindow()->clearSelection();
    EXPECT_FALSE(explorer.Application()->IsValid());
}

TEST_F(RepoExplorerWindowTest, DoubleClickAndReturnOpenRows) {
    RepoExplorer explorer;
    QTreeWidget* list = explorer.ListWindow();
    // A project row selects its node, an application row expands the project and selects it.
    Select(explorer, "ExplMaster");
    emit list->itemDoubleClicked(list->topLevelItem(2), 0);
    EXPECT_EQ(explorer.TreeWindow()->currentItem(), Node(explorer, "Shop"));
    emit list->itemDoubleClicked(list->topLevelItem(1), 0);
    EXPECT_EQ(explorer.TreeWindow()->currentItem(), Node(explorer, AppKey(m_orders)));
    emit list->itemDoubleClicked(list->topLevelItem(0), 0);
    ASSERT_EQ(explorer.TreeWindow()->currentItem(), Node(explorer, CustomerKey()));
    ASSERT_EQ(list->topLevelItemCount(), 5);

    // An entity row shows that entity's source under its module's name.
    std::string shown, caption;
    auto read = [&](QWidget* dialog) {
        auto* viewer = static_cast<SourceDlg*>(dialog);
        shown = viewer->Text();
        caption = viewer->Caption();
        viewer->accept();
    };
    {
        KivModalDriver driver(QStringLiteral("SourceDlg"), read);
        emit list->itemDoubleClicked(list->topLevelItem(3), 0);
    }
    EXPECT_EQ(shown, kInitSource);
    EXPECT_EQ(caption, "Customer");

    list->topLevelItem(4)->setSelected(true);
    EXPECT_EQ(explorer.GetSelectedEntitiesIndex(), std::vector<int>{4});
    {
        KivModalDriver driver(QStringLiteral("SourceDlg"), read);
        QTest::keyClick(list, Qt::Key_Return);
    }
    EXPECT_EQ(shown, kStartSource);

    // Several rows: their sources joined in row order, whatever order they were selected in.
    list->topLevelItem(3)->setSelected(true);
    EXPECT_EQ(explorer.GetSelectedEntitiesIndex(), (std::vector<int>{3, 4}));
    const std::vector<RepoExplorer::RowRecord> records = explorer.GetSelectedEntitiesID();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].entId, m_entityIds["INIT"]);
    EXPECT_EQ(records[1].entId, m_entityIds["START"]);
    shown.clear();
    {
        KivModalDriver driver(QStringLiteral("SourceDlg"), read);
        QTest::keyClick(list, Qt::Key_Return);
    }
    EXPECT_EQ(shown, std::string(kInitSource) + kStartSource);
    EXPECT_EQ(caption, "Customer");
}

TEST_F(RepoExplorerWindowTest, ReturnOnNoRowOrOnNonEntityRowsOpensNothing) {
    RepoExplorer explorer;
    QTreeWidget* list = explorer.ListWindow();
    Select(explorer, "ExplMaster");
    QTest::keyClick(list, Qt::Key_Return);
    list->topLevelItem(1)->setSelected(true);
    QTest::keyClick(list, Qt::Key_Return);
    // Nothing was opened: the list still shows the projects and the root is still selected.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(explorer.TreeWindow()->currentItem(), Node(explorer, "ExplMaster"));
}

TEST_F(RepoExplorerWindowTest, ListLibShowsTheLibrariesOfTheCurrentApplicationInOrder) {
    auto orders = KivVOProject("Shop").ApplicationFind("Orders");
    ASSERT_EQ(orders->LibraryNameList({"Tools", "Runtime"}).size(), 2u);
    RepoExplorer explorer;
    Select(explorer, "Shop");
    explorer.ListLib(); // no application: nothing opens (a dialog would block here)
    Node(explorer, "Shop")->setExpanded(true);
    Select(explorer, AppKey(m_orders));
    QStringList libraries;
    {
        KivModalDriver driver(QStringLiteral("AppInfoDlg"), [&](QWidget* dialog) {
            auto* list = KivChild<QListWidget>(dialog, "LibList");
            for (int i = 0; list && i < list->count(); ++i)
                libraries << list->item(i)->text();
            static_cast<QDialog*>(dialog)->accept();
        });
        explorer.MenuItem(RepoExplorer::IDM_ListLib)->trigger();
    }
    EXPECT_EQ(libraries, (QStringList{"Tools", "Runtime"}));
}

TEST_F(RepoExplorerWindowTest, RebuildKeepsOneTreeAndSelectsTheCurrentProject) {
    RepoExplorer explorer;
    ASSERT_TRUE(Repo().ProjectCreate("Added", ScratchDos("added")));
    ASSERT_EQ(Repo().CurrentProjectName("Archive"), "Archive");
    explorer.BuildExplorer();
    QCoreApplication::processEvents(); // the replaced views go
    EXPECT_EQ(explorer.findChildren<QTreeWidget*>(QStringLiteral("TreeWindow")).size(), 1);
    EXPECT_EQ(explorer.findChildren<QTreeWidget*>(QStringLiteral("ListWindow")).size(), 1);
    EXPECT_EQ(Texts(explorer.TreeWindow()->topLevelItem(0)),
              (QStringList{"Added", "Archive", "Default", "Shop"}));
    EXPECT_EQ(explorer.TreeWindow()->currentItem(), Node(explorer, "Archive"));
    EXPECT_EQ(Column(explorer.ListWindow(), 0), QStringList{"Old"});
}
