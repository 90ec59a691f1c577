#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

// Acts on a modal dialog the code under test is about to open: watches
// QApplication::activeModalWidget() every 10 ms and, when a visible one with the expected
// objectName (any, when empty) is there, runs the action on it (read it, fill it, press a button).
// When none shows within the time limit, or the action left it open that long, the test fails and
// the dialog is ended with 0, so a test never hangs. Make it before the call that opens the dialog.
class KivModalDriver {
public:
    KivModalDriver(QString objectName, std::function<void(QWidget*)> action, int timeoutMs = 5000)
        : m_name(std::move(objectName)), m_action(std::move(action)), m_timeoutMs(timeoutMs) {
        m_clock.start();
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    ~KivModalDriver() {
        m_timer.stop();
        if (!m_acted)
            ADD_FAILURE() << "no modal dialog " << m_name.toStdString() << " was opened";
    }
    KivModalDriver(const KivModalDriver&) = delete;
    KivModalDriver& operator=(const KivModalDriver&) = delete;

    bool Acted() const { return m_acted; }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!m_acted && modal && modal->isVisible() && (m_name.isEmpty() || modal->objectName() == m_name)) {
            m_acted = true;
            m_target = modal;
            m_action(modal);
            return;
        }
        if (m_acted && (!m_target || !m_target->isVisible())) {
            m_timer.stop(); // done: the dialog has closed
            return;
        }
        if (m_clock.elapsed() < m_timeoutMs)
            return;
        m_timer.stop();
        QWidget* stuck = m_acted ? m_target.data() : modal;
        ADD_FAILURE() << (m_acted ? "the dialog stayed open after the action: " : "no modal dialog opened: ")
                      << m_name.toStdString();
        m_acted = true; // reported once
        if (auto* dialog = qobject_cast<QDialog*>(stuck))
            dialog->done(0);
    }

    QString m_name;
    std::function<void(QWidget*)> m_action;
    int m_timeoutMs;
    bool m_acted = false;
    QPointer<QWidget> m_target;
    QElapsedTimer m_clock;
    QTimer m_timer;
};

// The child of a dialog with that objectName and type; fails the test when there is none.
template <class T> T* KivChild(QWidget* parent, const char* name) {
    T* child = parent ? parent->findChild<T*>(QLatin1String(name)) : nullptr;
    EXPECT_NE(child, nullptr) << "no " << name;
    return child;
}
