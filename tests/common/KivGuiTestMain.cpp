#include "common/KivTestSetup.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

QtMessageHandler g_qtHandler = nullptr;

// The offscreen platform says it cannot resize a window to its hints each time a dialog shows;
// that says nothing about the code under test.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    g_qtHandler(type, context, message);
}

} // namespace

// The main() of test programs that make widgets: one QApplication for the whole run, on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise.
int main(int argc, char** argv) {
    KivPrepareTestRun();
    g_qtHandler = qInstallMessageHandler(QuietOffscreen);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
