// kivexplorer: the explorer window over the repository in the platform home.
#include "app/KivDemoStart.h"
#include "explorer/KivAnsi.h"
#include "explorer/KivExplorerApplication.h"
#include "explorer/KivExplorerStart.h"
#include "explorer/KivQtPrompt.h"
#include "explorer/RepoExplorer.h"
#include "support/KivErrorHandler.h"
#include "support/KivPrompt.h"

#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

void Complain(const QString& text) {
    std::fprintf(stderr, "kivexplorer: %s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv) {
    KivInstallErrorHandler();
    // Asked only for a text, the program needs no display: a server has none.
    for (int i = 1; i < argc; ++i)
        if (const std::string_view arg = argv[i]; arg == "--version" || arg == "--help" || arg == "-h")
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
    KivExplorerApplication app(argc, argv);
    KivExplorerOptions options;
    bool help = false;
    QString error;
    if (!KivParseExplorerOptions(QCoreApplication::arguments(), options, help, error)) {
        Complain(error);
        std::fputs(qPrintable(KivExplorerUsage()), stderr);
        return 2;
    }
    if (help) {
        std::fputs(qPrintable(KivExplorerUsage()), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("kivexplorer " KIV_VERSION);
        return 0;
    }
    KivPromptScope prompt(std::make_shared<KivQtPrompt>());
    KivExplorerStart start;
    if (!start.Success())
        return 1;
    RepoExplorer& window = *start.Window();
    // A picture is taken unattended: what goes wrong ends the run instead of asking.
    const bool picture = !options.screenshot.isEmpty();
    if (!options.demoDir.isEmpty() && !KivLoadDemoIntoExplorer(window, options.demoDir, error)) {
        Complain(error);
        if (picture)
            return 1;
        KivPrompt().MessageBox(KivToAnsi(error), "Error", KivBox::Ok | KivBox::IconStop);
    }
    if (!options.file.isEmpty() && !window.OpenExportFile(options.file.toStdString()) && picture)
        return 1;
    if (!options.select.isEmpty() && !KivSelectTreePath(window, options.select, error)) {
        Complain(error);
        if (picture)
            return 1;
    }
    if (!options.row.isEmpty() && !KivSelectListRow(window, options.row, error)) {
        Complain(error);
        if (picture)
            return 1;
    }
    if (!options.search.isEmpty())
        window.FindInSources(KivToAnsi(options.search), false, true);
    if (!options.find.isEmpty()) {
        // The box is modal: it opens once the event loop runs, and the picture is then taken of
        // the screen, where the box is.
        QTimer::singleShot(0, &window, [&window, &options] { window.FindEntity(KivToAnsi(options.find)); });
    }
    if (picture) {
        // Without a window manager (a virtual screen) nothing maximises the window: give it the
        // screen, as a maximised window has it.
        if (QScreen* screen = window.screen())
            window.setGeometry(screen->availableGeometry());
        // Let the window reach the screen and lay itself out before it is grabbed.
        QTimer::singleShot(300, &window, [&window, &options] {
            const bool saved = options.find.isEmpty()
                                   ? KivSaveWindowPicture(window, options.screenshot)
                                   : window.screen()->grabWindow(0).save(options.screenshot, "PNG");
            if (!saved)
                Complain("Cannot write " + options.screenshot);
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return KivExplorerApplication::exec();
}
