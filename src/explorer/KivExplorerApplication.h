#pragma once

#include <QApplication>

#include <functional>

// The explorer's application object: every event is delivered through KivDeliverEvent, so that
// an exception escaping a slot or an event handler reaches the error handler instead of ending
// the program unreported.
class KivExplorerApplication final : public QApplication {
    Q_OBJECT
public:
    KivExplorerApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs the delivery of one event. An exception it throws is reported through the error handler
// (DefError); when the person chooses to quit, the event loop is ended with the error's exit code.
// The event then counts as not handled.
bool KivDeliverEvent(const std::function<bool()>& deliver);
