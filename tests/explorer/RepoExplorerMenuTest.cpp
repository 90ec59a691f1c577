#include "RepoExplorerFixture.h"

#include "explorer/RepoExplorer.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

// A menu's entries as "text|hint|enabled", "-" for a separator and "[text]" before a submenu's.
QStringList Entries(const QMenu* menu) {
    QStringList entries;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            entries << QStringLiteral("-");
        else if (action->menu())
            entries << QStringLiteral("[%1]").arg(action->text()) << Entries(action->menu());
        else
            entries << QStringLiteral("%1|%2|%3|%4")
                           .arg(action->data().toInt())
                           .arg(action->text(), action->statusTip())
                           .arg(action->isEnabled() ? 1 : 0);
    }
    return entries;
}

} // namespace

using RepoExplorerMenuTest = RepoExplorerTest;

TEST_F(RepoExplorerMenuTest, MenuHasEveryItemWithItsHintSeparatorAndState) {
    RepoExplorer explorer;
    ASSERT_TRUE(explorer.IsValid());
    QStringList menus;
    QStringList all;
    for (QAction* top : explorer.menuBar()->actions()) {
        menus << top->text();
        all << Entries(top->menu());
    }
    EXPECT_EQ(menus, (QStringList{"&File", "&Project", "&Application", "&Tools", "&Help"}));
    // Every item is connected, so every item is on.
    const QStringList expected = {
        "-",
        "891|&Exit\tAlt+F4|Close Explorer|1",
        // The browsing items come after the items above.
        "-",
        "920|Find &Entity...\tCtrl+K|Find an entity by a part of its name|1",
        "921|Find in &Sources...\tCtrl+Shift+F|Find a text in the sources of the entities|1",
        "922|Open Export &File...|Show an AEF, MEF or PRG file without importing it|1",
        "893|&Export|Export all applications and libraries of the current project|1",
        "894|&Import|Import a project|1",
        "-",
        "896|&Delete|Delete the currenlty selected project|1",
        "-",
        "898|Export &All|Export all projects|1",
        "[&Export]",
        "901|As &External modules|Export all modules of the current application/library as PRG|1",
        "902|With Implicants|Export the current application/library and Implicants|1",
        "[&Import]",
        "904|As &External modules|Import an application build with external modules|1",
        "905|With &Implicants|Import an Application and it's libraries|1",
        "-",
        "907|&Informations|Access to various info about the application|1",
        "-",
        "931|Import Modules...|Import MEF files, or every MEF file of a folder, as modules of an application|1",
        "932|Export Modules...|Export every module of the current application as a MEF file|1",
        "933|Compare With File...|Compare the current application or module with an AEF, MEF or PRG file|1",
        "909|&Registry Settings|Save some registry settings|1",
        "910|&Export Path|Set the export for all applications in Project|1",
        "912|&About...|About Kiv Repository|1",
    };
    EXPECT_EQ(all, expected);

    for (int id : {891, 893, 894, 896, 898, 901, 902, 904, 905, 907, 909, 910, 912, 931, 932, 933}) {
        ASSERT_NE(explorer.MenuItem(id), nullptr) << id;
        EXPECT_EQ(explorer.MenuItem(id)->data().toInt(), id);
    }
    EXPECT_EQ(explorer.MenuItem(892), nullptr);
    EXPECT_EQ(explorer.MenuItem(RepoExplorer::IDM_Exit)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
}

TEST_F(RepoExplorerMenuTest, ToolbarButtonsRunTheMenuItemsWithTheirTooltips) {
    RepoExplorer explorer;
    QToolBar* toolbar = explorer.findChild<QToolBar*>(QStringLiteral("ExplToolbar"));
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar->iconSize(), QSize(16, 16));
    QStringList buttons;
    for (QAction* action : toolbar->actions()) {
        if (action->isSeparator()) {
            buttons << QStringLiteral("-");
            continue;
        }
        const int id = action->data().toInt();
        EXPECT_EQ(action, explorer.MenuItem(id));
        EXPECT_FALSE(action->icon().isNull()) << id;
        buttons << QStringLiteral("%1|%2").arg(id).arg(action->toolTip());
    }
    EXPECT_EQ(buttons,
              (QStringList{"891|Exit Kiv Repository Explorer", "-", "893|Export current Project",
                           "901|Export as external modules", "902|Export App and Implicants", "-",
                           "894|Import a project", "904|Import as External Modules",
                           "905|Import an Application and it's libraries", "-",
                           "907|Access to various info about the application", "-", "912|About..."}));
}

TEST_F(RepoExplorerMenuTest, ExitClosesTheWindow) {
    RepoExplorer explorer;
    explorer.show();
    ASSERT_TRUE(explorer.isVisible());
    explorer.MenuItem(RepoExplorer::IDM_Exit)->trigger();
    EXPECT_FALSE(explorer.isVisible());
}
