#include "explorer/dialogs/ExportRegistry.h"
#include "common/KivModalDriver.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

TEST(ExportRegistryTest, BoxesButtonsAndTheResult) {
    ExportRegistry dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choose the Registry Keys to export"));
    const char* texts[] = {"DBServer ParentClass Name",
                           "Debugger Options",
                           "Directories",
                           "Editor Options",
                           "Editor Colors",
                           "Environment Options",
                           "Fonts",
                           "WED Configuration",
                           "All Applications Desktop"};
    for (int i = 0; i < 9; ++i) {
        auto* box =
            KivChild<QCheckBox>(&dialog, QStringLiteral("oDCChk%1").arg(i + 1).toLatin1().constData());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QLatin1String(texts[i]));
        EXPECT_FALSE(box->isChecked());
    }
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCDebugText")->text(), QStringLiteral("( In Debug session )"));

    // Export with nothing checked ends like Cancel.
    {
        KivModalDriver driver(QStringLiteral("ExportRegistry"),
                              [](QWidget* w) { KivChild<QPushButton>(w, "oCCExportPB")->click(); });
        EXPECT_EQ(dialog.exec(), 0);
    }
    KivChild<QPushButton>(&dialog, "oCCCheckAll")->click();
    KivRegExport::Choice all;
    all.fill(true);
    EXPECT_EQ(dialog.Choice(), all);
    KivChild<QPushButton>(&dialog, "oCCUnCheckPB")->click();
    EXPECT_EQ(dialog.Choice(), KivRegExport::Choice{});
    {
        KivModalDriver driver(QStringLiteral("ExportRegistry"), [](QWidget* w) {
            KivChild<QCheckBox>(w, "oDCChk7")->setChecked(true);
            KivChild<QPushButton>(w, "oCCExportPB")->click();
        });
        EXPECT_EQ(dialog.exec(), 1);
    }
    KivRegExport::Choice fonts{};
    fonts[6] = true;
    EXPECT_EQ(dialog.Choice(), fonts);
    {
        KivModalDriver driver(QStringLiteral("ExportRegistry"),
                              [](QWidget* w) { KivChild<QPushButton>(w, "oCCCancelPB")->click(); });
        EXPECT_EQ(dialog.exec(), 0);
    }
}
