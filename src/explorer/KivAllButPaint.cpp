#include "explorer/KivAllButPaint.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

class DropForeignInput final : public QObject {
public:
    explicit DropForeignInput(QWidget* window) : m_window(window) {}

    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->isInputEvent() || event->type() == QEvent::Shortcut)
            return !Belongs(receiver);
        // A click on another window's close button never reaches it on Windows during the pump;
        // here the window system asks the native window to close instead: refuse that too.
        if (event->type() == QEvent::Close && qobject_cast<QWindow*>(receiver))
            return !Belongs(receiver);
        return false;
    }

private:
    bool Belongs(QObject* receiver) const {
        if (!m_window)
            return false;
        // Input first arrives at the native window and is then passed on to the widget under it.
        if (auto* native = qobject_cast<QWindow*>(receiver))
            return native == m_window->window()->windowHandle();
        auto* widget = qobject_cast<QWidget*>(receiver);
        return widget && (widget == m_window || m_window->isAncestorOf(widget));
    }

    QPointer<QWidget> m_window;
};

} // namespace

void KivAllButPaint(QWidget* window) {
    if (!qApp)
        return;
    DropForeignInput filter(window);
    qApp->installEventFilter(&filter);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(&filter);
}
