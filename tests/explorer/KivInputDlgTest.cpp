#include "explorer/dialogs/KivInputDlg.h"
#include "common/KivModalDriver.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Types text into the open input dialog and presses one of its buttons.
std::function<void(QWidget*)> TypeAndPress(QString text, const char* button, QString* seenValue = nullptr) {
    return [=](QWidget* dialog) {
        auto* edit = KivChild<QLineEdit>(dialog, "oDCValue");
        if (seenValue)
            *seenValue = edit->text();
        edit->setText(text);
        KivChild<QPushButton>(dialog, button)->click();
    };
}

} // namespace

TEST(InputBoxTest, ConfirmedGivesTheTypedTextWithoutBlanks) {
    QString seen;
    KivModalDriver driver(QStringLiteral("KivInputDlg"),
                          TypeAndPress(QStringLiteral("  New \tApp \t"), "oCCOkPB", &seen));
    EXPECT_EQ(KivInputBox("New Application", "Name :", "Orders"), "New \tApp");
    EXPECT_EQ(seen, QStringLiteral("Orders"));
}

TEST(InputBoxTest, CancelledGivesTheDefaultUnchanged) {
    {
        KivModalDriver driver(QStringLiteral("KivInputDlg"),
                              TypeAndPress(QStringLiteral("typed"), "oCCCancelPB"));
        EXPECT_EQ(KivInputBox("New Application", "Name :", " Orders "), " Orders ");
    }
    {
        KivModalDriver driver(QStringLiteral("KivInputDlg"), [](QWidget* dialog) {
            KivChild<QLineEdit>(dialog, "oDCValue")->setText(QStringLiteral("typed"));
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        EXPECT_EQ(KivInputBox("New Application", "Name :", "Orders"), "Orders");
    }
}

TEST(InputBoxTest, ShowsCaptionPromptAndButtonCaptionsDecoded) {
    QString title, prompt, ok, cancel;
    KivModalDriver driver(QStringLiteral("KivInputDlg"), [&](QWidget* dialog) {
        title = dialog->windowTitle();
        prompt = KivChild<QLabel>(dialog, "oDCPrompt")->text();
        ok = KivChild<QPushButton>(dialog, "oCCOkPB")->text();
        cancel = KivChild<QPushButton>(dialog, "oCCCancelPB")->text();
        KivChild<QLineEdit>(dialog, "oDCValue")->setText(QString::fromUtf8("Caf\xc3\xa9"));
        QTest::keyClick(KivChild<QLineEdit>(dialog, "oDCValue"), Qt::Key_Return);
    });
    EXPECT_EQ(KivInputBox("Renam\xe9", "Nouveau nom \x96 ?", "", false, "&Oui", "&Non"), "Caf\xe9");
    EXPECT_EQ(title, QString::fromUtf8("Renamé"));
    EXPECT_EQ(prompt, QString::fromUtf8("Nouveau nom – ?"));
    EXPECT_EQ(ok, QStringLiteral("&Oui"));
    EXPECT_EQ(cancel, QStringLiteral("&Non"));
}

TEST(InputDlgTest, StartsWithItsValueOrEmpty) {
    KivInputDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Caption"));
    EXPECT_EQ(dialog.Prompt(), "Prompt");
    EXPECT_EQ(KivChild<QPushButton>(&dialog, "oCCOkPB")->text(), QStringLiteral("Ok"));
    EXPECT_EQ(KivChild<QPushButton>(&dialog, "oCCCancelPB")->text(), QStringLiteral("Cancel"));
    dialog.show();
    EXPECT_EQ(KivChild<QLineEdit>(&dialog, "oDCValue")->text(), QString());
    dialog.hide();
    dialog.Value("Orders");
    dialog.show();
    EXPECT_EQ(KivChild<QLineEdit>(&dialog, "oDCValue")->text(), QStringLiteral("Orders"));
}

TEST(InputDlgTest, OkEndsWithOneAndCancelWithTwo) {
    KivInputDlg dialog;
    dialog.show();
    KivChild<QLineEdit>(&dialog, "oDCValue")->setText(QStringLiteral(" x "));
    KivChild<QPushButton>(&dialog, "oCCOkPB")->click();
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.Value(), " x "); // the dialog keeps blanks; KivInputBox trims
    dialog.show();
    KivChild<QPushButton>(&dialog, "oCCCancelPB")->click();
    EXPECT_EQ(dialog.result(), 2);
    EXPECT_FALSE(dialog.isVisible());
}
