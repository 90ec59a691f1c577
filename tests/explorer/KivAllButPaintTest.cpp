#include "explorer/KivAllButPaint.h"
#include "common/KivModalDriver.h"
#include "explorer/dialogs/ImportProgress.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

namespace {

// Stands in for the explorer window: counts what reaches it.
class CountingWindow final : public QWidget {
public:
    int keys = 0, mouse = 0, paints = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
    void mousePressEvent(QMouseEvent*) override { ++mouse; }
    void paintEvent(QPaintEvent*) override { ++paints; }
};

void PostKey(QObject* receiver, QEvent::Type type, int key) {
    QCoreApplication::postEvent(receiver, new QKeyEvent(type, key, Qt::NoModifier, QStringLiteral(" ")));
}

void PostClick(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(
            widget, new QMouseEvent(type, at, global, Qt::LeftButton,
                                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                    Qt::NoModifier));
}

class AllButPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_explorer.resize(200, 100);
        m_explorer.show();
        m_explorer.setFocus();
        QCoreApplication::processEvents();
    }
    CountingWindow m_explorer;
    ImportProgress m_progress;
};

} // namespace

TEST_F(AllButPaintTest, InputForOtherWindowsIsDroppedNotDeferred) {
    PostKey(&m_explorer, QEvent::KeyPress, Qt::Key_A);               // at the widget
    PostKey(m_explorer.windowHandle(), QEvent::KeyPress, Qt::Key_B); // at its native window
    PostClick(&m_explorer);
    KivAllButPaint(&m_progress);
    EXPECT_EQ(m_explorer.keys, 0);
    EXPECT_EQ(m_explorer.mouse, 0);
    // Nothing was kept for later.
    QCoreApplication::processEvents();
    EXPECT_EQ(m_explorer.keys, 0);
    EXPECT_EQ(m_explorer.mouse, 0);
    // Outside the pump the window gets its input as usual.
    PostKey(&m_explorer, QEvent::KeyPress, Qt::Key_C);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_explorer.keys, 1);
}

TEST_F(AllButPaintTest, OtherWindowsCannotBeClosedMeanwhile) {
    QCoreApplication::postEvent(m_explorer.windowHandle(), new QCloseEvent);
    KivAllButPaint(&m_progress);
    EXPECT_TRUE(m_explorer.isVisible());
    // The code itself may still close a window.
    m_explorer.close();
    EXPECT_FALSE(m_explorer.isVisible());
}

TEST_F(AllButPaintTest, InputForTheProgressWindowIsDelivered) {
    auto* cancel = KivChild<QPushButton>(&m_progress, "oCCCancelPB");
    PostClick(cancel);
    KivAllButPaint(&m_progress);
    EXPECT_TRUE(m_progress.lNeedAbort);

    // Keys through the dialog's native window reach its focused button: Space presses it.
    m_progress.lNeedAbort = false;
    m_progress.activateWindow();
    cancel->setFocus();
    PostKey(m_progress.windowHandle(), QEvent::KeyPress, Qt::Key_Space);
    PostKey(m_progress.windowHandle(), QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_TRUE(m_progress.CancelRequested());
}

TEST_F(AllButPaintTest, PaintAndTimersGoOn) {
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    const int paints = m_explorer.paints;
    m_explorer.update();
    KivAllButPaint(&m_progress);
    EXPECT_TRUE(fired);
    EXPECT_GT(m_explorer.paints, paints);
}

TEST_F(AllButPaintTest, WithoutWindowEveryInputIsDropped) {
    PostKey(&m_explorer, QEvent::KeyPress, Qt::Key_A);
    PostClick(KivChild<QPushButton>(&m_progress, "oCCCancelPB"));
    KivAllButPaint(nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_explorer.keys, 0);
    EXPECT_FALSE(m_progress.lNeedAbort);
}
