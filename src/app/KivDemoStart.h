#pragma once

#include <QString>
#include <QStringList>

#include <string>

class QWidget;
class RepoExplorer;

// What kivexplorer's command line may ask for beyond the plain start. Without options nothing
// of this happens.
struct KivExplorerOptions {
    // Fill an empty repository from this samples folder at start-up.
    QString demoDir;
    // Select this tree node at start-up: "Project", "Project/Application" or
    // "Project/Application/Module", or in an opened file "FILE.AEF/Module".
    QString select;
    // Write a picture of the window to this PNG file once it is shown, then end.
    QString screenshot;
    // Print the version and end.
    bool version = false;
    // Open this AEF, MEF or PRG file beside the repository at start-up.
    QString file;
    // After `select`, select the list row of this name (its source shows in the pane).
    QString row;
    // Open the find entity box with this text typed.
    QString find;
    // Find this text in the sources of every project.
    QString search;
};

// Reads the options from the arguments (the program's name first); false with the reason when
// the line holds something else. --help is left to the caller (`help` is set).
bool KivParseExplorerOptions(const QStringList& arguments, KivExplorerOptions& options, bool& help,
                             QString& error);
// The text --help prints.
QString KivExplorerUsage();

// When the repository is empty, fills it from the samples folder, keeps the demo's project current
// past the end of the run, and rebuilds the window on it. False with the reason when the load
// failed; the repository is then as it was.
bool KivLoadDemoIntoExplorer(RepoExplorer& window, const QString& samplesDir, QString& error);

// Selects the tree node named by a path of names (see `select`), loading and expanding the
// nodes above it, so that the list shows its children. Names match without regard to case.
// False with the reason when a name is not found.
bool KivSelectTreePath(RepoExplorer& window, const QString& path, QString& error);

// Selects the first list row of that name (any case); false with the reason when there is none.
bool KivSelectListRow(RepoExplorer& window, const QString& name, QString& error);

// Writes the window's picture as PNG; false when the file cannot be written.
bool KivSaveWindowPicture(QWidget& window, const QString& file);
