#include "common/KivTestSetup.h"

#include <QApplication>
#include <gtest/gtest.h>

// The main() of test programs that make widgets: one QApplication for the whole run, on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise.
int main(int argc, char** argv) {
    KivPrepareTestRun();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
