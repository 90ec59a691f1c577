#include "explorer/dialogs/ImportAppList.h"
#include "common/KivModalDriver.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace {

KivAppImportLibrary Library(const char* section, const char* name, KivAppImportLibrary::State state) {
    return {section, name, std::string("C:\\AEF\\") + name + ".AEF", state};
}

// Shop with three libraries: Base new, Tools missing, Caf\xe9 in the project already.
KivAppImportPlan Plan(bool appExists) {
    KivAppImportPlan plan;
    plan.fileAppName = plan.appName = "Shop";
    plan.appExists = appExists;
    if (appExists)
        plan.existing = {"Other", "Shop"};
    plan.libraries = {Library("LIB001", "Base", KivAppImportLibrary::New),
                      Library("LIB002", "Tools", KivAppImportLibrary::Missing),
                      Library("LIB003", "Caf\xe9", KivAppImportLibrary::Existing)};
    plan.allPresent = false;
    plan.anyExists = true;
    plan.firstMissing = 1;
    return plan;
}

QString Text(QWidget* dialog, const char* name) {
    return KivChild<QLabel>(dialog, name)->text();
}
QString IconOf(QWidget* dialog, const char* name) {
    return KivChild<QLabel>(dialog, name)->property("icon").toString();
}

struct Node {
    QString key;
    QString text;
    int image, state, overlay;
    bool operator==(const Node&) const = default;
};

std::vector<Node> Nodes(QTreeWidget* tree) {
    std::vector<Node> nodes;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        nodes.push_back({(*it)->data(0, ImportAppList::KeyRole).toString(), (*it)->text(0),
                         (*it)->data(0, ImportAppList::ImageRole).toInt(),
                         (*it)->data(0, ImportAppList::StateRole).toInt(),
                         (*it)->data(0, ImportAppList::OverlayRole).toInt()});
    return nodes;
}

} // namespace

TEST(ImportAppListTest, ANewApplicationWithItsLibrariesOk) {
    ImportAppList dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Import Summary"));
    EXPECT_FALSE(KivChild<QPushButton>(&dialog, "oCCImportPB")->isEnabled());
    KivAppImportPlan plan;
    plan.fileAppName = plan.appName = "Shop";
    plan.libraries = {Library("LIB001", "Base", KivAppImportLibrary::New)};
    dialog.Fill(plan);
    dialog.show();

    EXPECT_EQ(Nodes(KivChild<QTreeWidget>(&dialog, "oDCTreeInfo")),
              (std::vector<Node>{
                  {"App", "Shop", 1, 0, 0}, {"Lib", "Libraries", 3, 0, 0}, {"LIB001", "Base", 2, 1, 0}}));
    EXPECT_TRUE(dialog.FindItem("App")->isExpanded());
    EXPECT_EQ(Text(&dialog, "oDCAppInfo"), QStringLiteral("Application is Ok."));
    EXPECT_EQ(IconOf(&dialog, "oDCAppIcon"), QStringLiteral("ICON_YES"));
    EXPECT_EQ(Text(&dialog, "oDCLibInfo"), QStringLiteral("All Libraries are Ok."));
    EXPECT_EQ(IconOf(&dialog, "oDCLibIcon"), QStringLiteral("ICON_YES"));
    EXPECT_FALSE(KivChild<QPushButton>(&dialog, "oCCRenamePB")->isVisible());
    for (const char* hidden : {"oDCImportGrp", "oDCLibInfo2", "oDCLibIcon2"})
        EXPECT_FALSE(KivChild<QWidget>(&dialog, hidden)->isVisible()) << hidden;
    EXPECT_FALSE(dialog.lHasError);
    EXPECT_EQ(dialog.ImportGrp(), "D");

    dialog.hide();
    KivModalDriver driver(QStringLiteral("ImportAppList"),
                          [](QWidget* w) { KivChild<QPushButton>(w, "oCCImportPB")->click(); });
    EXPECT_EQ(dialog.exec(), 1);
}

TEST(ImportAppListTest, AnExistingApplicationIsImportedOnlyUnderAFreeName) {
    ImportAppList dialog;
    dialog.Fill(Plan(true));
    dialog.show();

    EXPECT_EQ(Nodes(KivChild<QTreeWidget>(&dialog, "oDCTreeInfo")),
              (std::vector<Node>{{"App", "Shop", 1, 0, 1},
                                 {"Lib", "Libraries", 3, 0, 0},
                                 {"LIB001", "Base", 2, 1, 0},
                                 {"LIB002", "Tools", 2, 2, 0},
                                 {"LIB003", QString::fromUtf8("Café"), 2, 1, 1}}));
    EXPECT_EQ(Text(&dialog, "oDCAppInfo"), QStringLiteral("Application already exist."));
    EXPECT_EQ(IconOf(&dialog, "oDCAppIcon"), QStringLiteral("ICON_NO"));
    EXPECT_EQ(Text(&dialog, "oDCLibInfo"), QStringLiteral("At least one library is missing."));
    EXPECT_EQ(IconOf(&dialog, "oDCLibIcon"), QStringLiteral("ICON_NO"));
    EXPECT_EQ(Text(&dialog, "oDCLibInfo2"), QStringLiteral("At least one library already exist."));
    EXPECT_EQ(IconOf(&dialog, "oDCLibIcon2"), QStringLiteral("ICON_WARNING"));
    EXPECT_TRUE(KivChild<QGroupBox>(&dialog, "oDCImportGrp")->isVisible());
    EXPECT_EQ(KivChild<QTreeWidget>(&dialog, "oDCTreeInfo")->currentItem(), dialog.FindItem("LIB002"));
    EXPECT_TRUE(dialog.lHasError);
    EXPECT_EQ(dialog.aExisting(), (std::vector<std::string>{"Other", "Shop"}));

    auto* import = KivChild<QPushButton>(&dialog, "oCCImportPB");
    auto* rename = KivChild<QPushButton>(&dialog, "oCCRenamePB");
    EXPECT_FALSE(import->isEnabled());
    ASSERT_TRUE(rename->isVisible());

    // Renaming to a name the project holds (in any case), or cancelling, changes nothing.
    for (const char* answer : {"other", "Shop", ""}) {
        KivModalDriver driver(QStringLiteral("KivInputDlg"), [answer](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), QStringLiteral("Set a new application name"));
            EXPECT_EQ(KivChild<QLineEdit>(w, "oDCValue")->text(), QStringLiteral("Shop"));
            if (*answer) {
                KivChild<QLineEdit>(w, "oDCValue")->setText(QString::fromLatin1(answer));
                KivChild<QPushButton>(w, "oCCOkPB")->click();
            } else {
                KivChild<QPushButton>(w, "oCCCancelPB")->click();
            }
        });
        rename->click();
        EXPECT_FALSE(import->isEnabled()) << answer;
        EXPECT_TRUE(rename->isVisible());
        EXPECT_EQ(dialog.cAppName(), "Shop");
    }
    {
        KivModalDriver driver(QStringLiteral("KivInputDlg"), [](QWidget* w) {
            KivChild<QLineEdit>(w, "oDCValue")->setText(QStringLiteral("  Shop2 "));
            KivChild<QPushButton>(w, "oCCOkPB")->click();
        });
        rename->click();
    }
    EXPECT_EQ(dialog.cAppName(), "Shop2");
    EXPECT_TRUE(import->isEnabled());
    EXPECT_FALSE(rename->isVisible());
    EXPECT_EQ(Text(&dialog, "oDCAppInfo"), QStringLiteral("Application is Ok."));
    EXPECT_EQ(IconOf(&dialog, "oDCAppIcon"), QStringLiteral("ICON_YES"));

    dialog.hide();
    KivModalDriver driver(QStringLiteral("ImportAppList"), [](QWidget* w) {
        KivChild<QRadioButton>(w, "oCCMergeRB")->click();
        KivChild<QPushButton>(w, "oCCImportPB")->click();
    });
    EXPECT_EQ(dialog.exec(), 1);
    EXPECT_EQ(dialog.ImportGrp(), "M");
    EXPECT_EQ(dialog.Plan().appName, "Shop2");
}

TEST(ImportAppListTest, CancelEndsWithZero) {
    ImportAppList dialog;
    dialog.Fill(Plan(false));
    EXPECT_TRUE(KivChild<QPushButton>(&dialog, "oCCImportPB")->isEnabled());
    KivModalDriver driver(QStringLiteral("ImportAppList"), [](QWidget* w) {
        KivChild<QRadioButton>(w, "oCCKeepRB")->click();
        KivChild<QPushButton>(w, "oCCCancelPB")->click();
    });
    EXPECT_EQ(dialog.exec(), 0);
    EXPECT_EQ(dialog.ImportGrp(), "K");
}
