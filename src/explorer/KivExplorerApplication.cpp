#include "explorer/KivExplorerApplication.h"

#include "support/KivError.h"
#include "support/KivErrorHandler.h"

KivExplorerApplication::KivExplorerApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KivExplorerApplication::notify(QObject* receiver, QEvent* event) {
    return KivDeliverEvent([&] { return QApplication::notify(receiver, event); });
}

bool KivDeliverEvent(const std::function<bool()>& deliver) {
    KivErrorOutcome outcome;
    try {
        return deliver();
    } catch (const KivError& error) {
        outcome = DefError(error.Error());
    } catch (const std::exception& exception) {
        outcome = DefError(exception);
    } catch (...) {
        KivErrorObject error;
        error.SubSystem = "KIV";
        error.FuncSym = "DefError";
        error.Description = "Unknown exception";
        outcome = DefError(error);
    }
    // An event cannot be delivered again: every choice but Quit goes on with the next one.
    if (outcome.kind == KivErrorOutcome::Quit)
        QCoreApplication::exit(outcome.exitCode != 0 ? static_cast<int>(outcome.exitCode) : 1);
    return false;
}
