#include "common/KivModalDriver.h"
#include "explorer/dialogs/ExportProgress.h"
#include "explorer/dialogs/ImportProgress.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

TEST(ProgressDlgTest, ImportProgressIsShownModelessWithItsControls) {
    ImportProgress dialog;
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.objectName(), QStringLiteral("ImportProgress"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Importing"));
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCModLabel")->text(), QStringLiteral("Module :"));
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCModuleText")->text(), QString());
    EXPECT_EQ(KivChild<QPushButton>(&dialog, "oCCCancelPB")->text(), QStringLiteral("&Cancel"));
    EXPECT_NE(KivChild<QProgressBar>(&dialog, "oDCModuleProgress"), nullptr);
    EXPECT_FALSE(dialog.lNeedAbort);
}

TEST(ProgressDlgTest, ExportProgressHasAnEntityAndAModuleBar) {
    ExportProgress dialog;
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Exporting"));
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCEntLabel")->text(), QStringLiteral("Entity :"));
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCModLabel")->text(), QStringLiteral("Module :"));

    dialog.SetCaption("Exporting Orders");
    dialog.SetRange(0, 1, 12);
    dialog.SetPosition(0, 5);
    dialog.SetText(0, "Customer Window");
    dialog.SetRange(1, 1, 40);
    dialog.SetPosition(1, 31);
    dialog.SetText(1, "Customer:Init \x96 Caf\xe9");
    dialog.SetLabel(1, "Method :");
    dialog.SetRange(2, 1, 9); // no such bar: ignored
    dialog.SetText(-1, "x");

    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Exporting Orders"));
    auto* modules = KivChild<QProgressBar>(&dialog, "oDCModuleProgress");
    auto* entities = KivChild<QProgressBar>(&dialog, "oDCEntityProgress");
    EXPECT_EQ(modules->minimum(), 1);
    EXPECT_EQ(modules->maximum(), 12);
    EXPECT_EQ(modules->value(), 5);
    EXPECT_EQ(entities->maximum(), 40);
    EXPECT_EQ(entities->value(), 31);
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCModuleText")->text(), QStringLiteral("Customer Window"));
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCEntityText")->text(), QString::fromUtf8("Customer:Init – Café"));
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCEntLabel")->text(), QStringLiteral("Method :"));
}

TEST(ProgressDlgTest, BarsTakeFullUnsignedRangesAndOutOfRangePositions) {
    ImportProgress dialog;
    auto* bar = KivChild<QProgressBar>(&dialog, "oDCModuleProgress");
    dialog.SetRange(0, 1, 0xFFFFFFFFu);
    EXPECT_EQ(bar->maximum(), INT_MAX);
    dialog.SetPosition(0, 0xFFFFFFFFu);
    EXPECT_EQ(bar->value(), INT_MAX);
    dialog.SetRange(0, 1, 3);
    dialog.SetPosition(0, 0);
    EXPECT_EQ(bar->value(), 1);
}

TEST(ProgressDlgTest, CancelOnlyAsksTheLoopToStop) {
    ImportProgress dialog;
    dialog.SetRange(0, 1, 3);
    dialog.SetPosition(0, 2);
    dialog.SetText(0, "Orders");
    EXPECT_FALSE(dialog.CancelRequested());

    KivChild<QPushButton>(&dialog, "oCCCancelPB")->click();
    EXPECT_TRUE(dialog.lNeedAbort);
    // The dialog stays as it was until the loop, at its next test, decides.
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(KivChild<QProgressBar>(&dialog, "oDCModuleProgress")->value(), 2);
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCModuleText")->text(), QStringLiteral("Orders"));
    EXPECT_TRUE(dialog.CancelRequested());
    EXPECT_TRUE(dialog.CancelRequested()); // asking does not clear it
}

TEST(ProgressDlgTest, EscapeAndClosingTheWindowCountAsCancel) {
    ExportProgress dialog;
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.lNeedAbort);
    EXPECT_TRUE(dialog.isVisible());

    ImportProgress other;
    EXPECT_FALSE(other.close());
    EXPECT_TRUE(other.lNeedAbort);
    EXPECT_TRUE(other.isVisible());
}
