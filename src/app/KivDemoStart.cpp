#include "app/KivDemoStart.h"

#include "explorer/KivAnsi.h"
#include "explorer/RepoExplorer.h"
#include "platform/KivDosPath.h"
#include "repository/KivDemoRepository.h"
#include "repository/KivVORepository.h"

#include <QCommandLineParser>
#include <QPixmap>
#include <QTreeWidget>
#include <QTreeWidgetItem>

namespace {

void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription("kivexplorer: the Kiv repository explorer");
    parser.addHelpOption();
    parser.addOption({"version", "Show the program's version, then end."});
    parser.addOption({"demo", "Fill an empty repository from the samples folder DIR first.", "DIR"});
    parser.addOption({"select", "Select the tree node PROJECT[/APPLICATION[/MODULE]] at start.", "PATH"});
    parser.addOption({"screenshot", "Write a picture of the window to FILE (PNG), then end.", "FILE"});
    parser.addOption({"row", "After --select, select the list row NAME.", "NAME"});
    parser.addOption({"find", "Open the find entity box with TEXT typed.", "TEXT"});
    parser.addOption({"search", "Find TEXT in the sources of every project.", "TEXT"});
    parser.addPositionalArgument("FILE", "An AEF, MEF or PRG file to open beside the repository.", "[FILE]");
}

QTreeWidgetItem* ChildNamed(QTreeWidgetItem* parent, const QString& name) {
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0).compare(name, Qt::CaseInsensitive) == 0)
            return parent->child(i);
    return nullptr;
}

} // namespace

bool KivParseExplorerOptions(const QStringList& arguments, KivExplorerOptions& options, bool& help,
                             QString& error) {
    QCommandLineParser parser;
    AddOptions(parser);
    help = false;
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (parser.positionalArguments().size() > 1) {
        error = "Unexpected argument: " + parser.positionalArguments().at(1);
        return false;
    }
    help = parser.isSet("help");
    options.demoDir = parser.value("demo");
    options.select = parser.value("select");
    options.screenshot = parser.value("screenshot");
    options.version = parser.isSet("version");
    options.file = parser.positionalArguments().value(0);
    options.row = parser.value("row");
    options.find = parser.value("find");
    options.search = parser.value("search");
    return true;
}

QString KivExplorerUsage() {
    QCommandLineParser parser;
    AddOptions(parser);
    return parser.helpText();
}

bool KivLoadDemoIntoExplorer(RepoExplorer& window, const QString& samplesDir, QString& error) {
    if (!KivDemoRepositoryIsEmpty())
        return true;
    const KivDemoLoad load = KivLoadDemoRepository(kiv::dospath::ToDos(samplesDir.toStdString()));
    if (!load.success) {
        error = KivFromAnsi(load.error);
        return false;
    }
    if (!load.loaded)
        return true;
    if (auto repository = KivGetRepoObject())
        repository->DefaultProjectName(load.project);
    window.BuildExplorer();
    return true;
}

bool KivSelectTreePath(RepoExplorer& window, const QString& path, QString& error) {
    QTreeWidget* tree = window.TreeWindow();
    QTreeWidgetItem* node = tree ? tree->topLevelItem(0) : nullptr;
    if (!node) {
        error = "The explorer has no tree";
        return false;
    }
    QStringList names = path.split('/', Qt::SkipEmptyParts);
    // A path may begin at an opened export file's node instead of "Visual Objects".
    for (int i = 1; !names.isEmpty() && i < tree->topLevelItemCount(); ++i) {
        if (tree->topLevelItem(i)->text(0).compare(names.front().trimmed(), Qt::CaseInsensitive) == 0) {
            node = tree->topLevelItem(i);
            names.removeFirst();
            break;
        }
    }
    for (const QString& name : names) {
        window.ExpandItem(node);
        node->setExpanded(true);
        QTreeWidgetItem* child = ChildNamed(node, name.trimmed());
        if (!child) {
            error = "Not in the tree: " + name.trimmed() + " (below " + node->text(0) + ")";
            return false;
        }
        node = child;
    }
    window.ExpandItem(node);
    tree->setCurrentItem(node);
    tree->scrollToItem(node);
    return true;
}

bool KivSelectListRow(RepoExplorer& window, const QString& name, QString& error) {
    QTreeWidget* list = window.ListWindow();
    for (int i = 0; list && i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0).compare(name, Qt::CaseInsensitive) == 0) {
            list->setCurrentItem(list->topLevelItem(i));
            list->scrollToItem(list->topLevelItem(i));
            return true;
        }
    }
    error = "Not in the list: " + name;
    return false;
}

bool KivSaveWindowPicture(QWidget& window, const QString& file) {
    return window.grab().save(file, "PNG");
}
