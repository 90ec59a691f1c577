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
    if (!parser.positionalArguments().isEmpty()) {
        error = "Unexpected argument: " + parser.positionalArguments().front();
        return false;
    }
    help = parser.isSet("help");
    options.demoDir = parser.value("demo");
    options.select = parser.value("select");
    options.screenshot = parser.value("screenshot");
    options.version = parser.isSet("version");
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
    for (const QString& name : path.split('/', Qt::SkipEmptyParts)) {
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

bool KivSaveWindowPicture(QWidget& window, const QString& file) {
    return window.grab().save(file, "PNG");
}
