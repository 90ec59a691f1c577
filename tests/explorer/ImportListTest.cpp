#include "explorer/dialogs/ImportList.h"
#include "common/KivModalDriver.h"
#include "explorer/transfer/KivKeaPlan.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

KivKeaItem Item(const std::string& id, const std::string& label, bool missing) {
    return {id, label, missing ? std::string() : "Z:\\kea\\" + label, missing};
}

// A summary with everything found, under the name "Shop".
KivKeaPlan FoundPlan() {
    KivKeaPlan plan;
    plan.cAppName = "Shop";
    plan.modules = {Item("Module001", "Alpha", false), Item("Module002", "Beta", false)};
    plan.libraries = {Item("Lib001", "Base", false)};
    plan.udcs = {Item("UDC001", "STD.UDC", false)};
    plan.chs = {Item("CH001", "WIN.CH", false)};
    return plan;
}

QString Status(QWidget* dialog, const char* icon) {
    return KivChild<QLabel>(dialog, icon)->property(ImportList::kStatusProperty).toString();
}
QString Text(QWidget* dialog, const char* label) {
    return KivChild<QLabel>(dialog, label)->text();
}

// Answers the rename box with the text.
void RenameTo(ImportList& dialog, const QString& text) {
    KivModalDriver driver(QStringLiteral("KivInputDlg"), [&](QWidget* box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Set a new application name"));
        EXPECT_EQ(KivChild<QLineEdit>(box, "oDCValue")->text(), QString::fromStdString(dialog.cAppName()));
        KivChild<QLineEdit>(box, "oDCValue")->setText(text);
        KivChild<QPushButton>(box, "oCCOkPB")->click();
    });
    dialog.RenamePB();
}

} // namespace

TEST(ImportListTest, EverythingFound) {
    KivKeaPlan plan = FoundPlan();
    ImportList dialog(plan);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Import Summary"));
    QTreeWidget* tree = KivChild<QTreeWidget>(&dialog, "oDCTreeInfo");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* app = tree->topLevelItem(0);
    EXPECT_EQ(app->text(0), QStringLiteral("Shop"));
    EXPECT_TRUE(app->isExpanded());
    ASSERT_EQ(app->childCount(), 4);
    const char* groups[] = {"Modules", "Libraries", "UDC", "CH"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(app->child(i)->text(0), QLatin1String(groups[i]));
    ASSERT_EQ(app->child(0)->childCount(), 2);
    EXPECT_EQ(app->child(0)->child(1)->data(0, ImportList::kIdRole).toString(), QStringLiteral("Module002"));
    EXPECT_EQ(app->child(0)->child(1)->text(0), QStringLiteral("Beta"));
    EXPECT_EQ(app->child(0)->child(1)->data(0, ImportList::kOverlayRole).toInt(), 0);
    EXPECT_EQ(Text(&dialog, "oDCAppInfo"), QStringLiteral("Application is Ok."));
    EXPECT_EQ(Text(&dialog, "oDCModInfo"), QStringLiteral("All Modules are Ok."));
    EXPECT_EQ(Text(&dialog, "oDCLibInfo"), QStringLiteral("All Libraries are Ok."));
    EXPECT_EQ(Text(&dialog, "oDCUDCInfo"), QStringLiteral("All UDCs are Ok."));
    EXPECT_EQ(Text(&dialog, "oDCCHInfo"), QStringLiteral("All CH are Ok."));
    for (const char* icon : {"oDCAppIcon", "oDCModIcon", "oDCLibIcon", "oDCUDCIcon", "oDCCHIcon"})
        EXPECT_EQ(Status(&dialog, icon), QStringLiteral("yes")) << icon;
    EXPECT_TRUE(KivChild<QPushButton>(&dialog, "oCCImportPB")->isEnabled());
    EXPECT_TRUE(KivChild<QPushButton>(&dialog, "oCCRenamePB")->isHidden());
    EXPECT_EQ(tree->currentItem(), nullptr);

    KivModalDriver driver(QStringLiteral("ImportList"),
                          [](QWidget* w) { KivChild<QPushButton>(w, "oCCImportPB")->click(); });
    EXPECT_EQ(dialog.exec(), 1);
}

TEST(ImportListTest, MissingItemsWarnAndTheFirstIsSelected) {
    struct Case {
        const char* name;
        void (*spoil)(KivKeaPlan&);
        const char* icon;
        const char* info;
        const char* text;
        const char* selectedId;
    };
    const Case cases[] = {
        {"module", [](KivKeaPlan& p) { p.modules[1].missing = true; }, "oDCModIcon", "oDCModInfo",
         "At least one module is missing.", "Module002"},
        {"library", [](KivKeaPlan& p) { p.libraries[0].missing = true; }, "oDCLibIcon", "oDCLibInfo",
         "At least one library is missing.", "Lib001"},
        {"udc", [](KivKeaPlan& p) { p.udcs[0].missing = true; }, "oDCUDCIcon", "oDCUDCInfo",
         "At least one UDC is missing.", "UDC001"},
        {"ch", [](KivKeaPlan& p) { p.chs[0].missing = true; }, "oDCCHIcon", "oDCCHInfo",
         "At least one CH is missing.", "CH001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KivKeaPlan plan = FoundPlan();
        c.spoil(plan);
        ImportList dialog(plan);
        EXPECT_EQ(Status(&dialog, c.icon), QStringLiteral("warning"));
        EXPECT_EQ(Text(&dialog, c.info), QLatin1String(c.text));
        QTreeWidgetItem* current = dialog.TreeInfo()->currentItem();
        ASSERT_NE(current, nullptr);
        EXPECT_EQ(current->data(0, ImportList::kIdRole).toString(), QLatin1String(c.selectedId));
        EXPECT_EQ(current->data(0, ImportList::kOverlayRole).toInt(), 2);
        // Missing items do not block the import.
        EXPECT_TRUE(KivChild<QPushButton>(&dialog, "oCCImportPB")->isEnabled());
        EXPECT_EQ(Status(&dialog, "oDCAppIcon"), QStringLiteral("yes"));
    }
    // With a module and a CH missing, the module comes first.
    KivKeaPlan plan = FoundPlan();
    plan.chs[0].missing = true;
    plan.modules[0].missing = true;
    ImportList dialog(plan);
    EXPECT_EQ(dialog.TreeInfo()->currentItem()->data(0, ImportList::kIdRole).toString(),
              QStringLiteral("Module001"));
}

TEST(ImportListTest, ExistingApplicationAndRename) {
    KivKeaPlan plan = FoundPlan();
    plan.modules[0].missing = true;
    plan.appExists = true;
    plan.aExisting = {"Base", "Shop", "Tools"};
    ImportList dialog(plan);
    QTreeWidgetItem* app = dialog.AppItem();
    EXPECT_EQ(app->data(0, ImportList::kOverlayRole).toInt(), 1);
    EXPECT_EQ(dialog.TreeInfo()->currentItem(), app);
    EXPECT_EQ(Status(&dialog, "oDCAppIcon"), QStringLiteral("no"));
    EXPECT_EQ(Text(&dialog, "oDCAppInfo"), QStringLiteral("Application already exist."));
    auto* importButton = KivChild<QPushButton>(&dialog, "oCCImportPB");
    auto* rename = KivChild<QPushButton>(&dialog, "oCCRenamePB");
    EXPECT_FALSE(importButton->isEnabled());
    EXPECT_FALSE(rename->isHidden());
    EXPECT_EQ(rename->text(), QStringLiteral("&Rename"));

    for (const char* refused : {"Shop", "Tools", "tools"}) {
        RenameTo(dialog, QLatin1String(refused));
        EXPECT_EQ(dialog.cAppName(), "Shop") << refused;
        EXPECT_FALSE(importButton->isEnabled());
        EXPECT_FALSE(rename->isHidden());
        EXPECT_EQ(Status(&dialog, "oDCAppIcon"), QStringLiteral("no"));
    }
    RenameTo(dialog, QStringLiteral("  Shop2  "));
    EXPECT_EQ(dialog.cAppName(), "Shop2");
    EXPECT_TRUE(importButton->isEnabled());
    EXPECT_TRUE(rename->isHidden());
    EXPECT_EQ(Status(&dialog, "oDCAppIcon"), QStringLiteral("yes"));
    EXPECT_EQ(Text(&dialog, "oDCAppInfo"), QStringLiteral("Application is Ok."));

    KivModalDriver driver(QStringLiteral("ImportList"),
                          [](QWidget* w) { KivChild<QPushButton>(w, "oCCCancelPB")->click(); });
    EXPECT_EQ(dialog.exec(), 0);
}
