#include "explorer/KivQtPrompt.h"
#include "common/KivModalDriver.h"
#include "common/KivTestHome.h"
#include "support/KivMessage.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <vector>

namespace {

std::vector<int> Answers(const QMessageBox& box) {
    std::vector<int> answers;
    for (QAbstractButton* button : box.buttons())
        answers.push_back(button->property("kivAnswer").toInt());
    std::sort(answers.begin(), answers.end());
    return answers;
}

struct BoxCase {
    uint32_t style;
    QMessageBox::Icon icon;
    std::vector<int> answers;
    int defaultAnswer;
};

class QtMessageBoxLook : public ::testing::TestWithParam<BoxCase> {};

} // namespace

TEST_P(QtMessageBoxLook, HasTheIconButtonsAndDefaultOfTheStyle) {
    const BoxCase& c = GetParam();
    QMessageBox box;
    KivBuildMessageBox(box, "text", "caption", c.style);
    EXPECT_EQ(box.icon(), c.icon);
    std::vector<int> expected = c.answers;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Answers(box), expected);
    ASSERT_NE(box.defaultButton(), nullptr);
    EXPECT_EQ(box.defaultButton()->property("kivAnswer").toInt(), c.defaultAnswer);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, QtMessageBoxLook,
    ::testing::Values(
        BoxCase{0x40, QMessageBox::Information, {KivBox::IdOk}, KivBox::IdOk},
        BoxCase{0x30, QMessageBox::Warning, {KivBox::IdOk}, KivBox::IdOk},
        BoxCase{0x24, QMessageBox::Question, {KivBox::IdYes, KivBox::IdNo}, KivBox::IdYes},
        BoxCase{0x124, QMessageBox::Question, {KivBox::IdYes, KivBox::IdNo}, KivBox::IdNo},
        BoxCase{
            0x10 | KivBox::OkCancel, QMessageBox::Critical, {KivBox::IdOk, KivBox::IdCancel}, KivBox::IdOk},
        BoxCase{
            0x233, QMessageBox::Warning, {KivBox::IdCancel, KivBox::IdYes, KivBox::IdNo}, KivBox::IdCancel},
        BoxCase{KivBox::AbortRetryIgnore | KivBox::DefButton2,
                QMessageBox::NoIcon,
                {KivBox::IdAbort, KivBox::IdRetry, KivBox::IdIgnore},
                KivBox::IdRetry},
        // A third default on a box of two buttons leaves the first one the default.
        BoxCase{KivBox::RetryCancel | KivBox::DefButton3,
                QMessageBox::NoIcon,
                {KivBox::IdRetry, KivBox::IdCancel},
                KivBox::IdRetry}));

class QtPromptTest : public KivTestHome {
protected:
    std::shared_ptr<KivQtPrompt> m_prompt = std::make_shared<KivQtPrompt>();
    KivPromptScope m_scope{m_prompt};
};

TEST_F(QtPromptTest, MessageBoxShowsDecodedTextCentredAndAnswersTheClickedButton) {
    QString title, text;
    QPoint centre;
    KivModalDriver driver({}, [&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        centre = box->frameGeometry().center();
        for (QAbstractButton* button : box->buttons())
            if (button->property("kivAnswer").toInt() == KivBox::IdNo)
                button->click();
    });
    EXPECT_FALSE(KivMessageYesNo("Delete \x93Orders\x94 ?\r\nIt cannot be undone.", "D\xe9lete"));
    EXPECT_EQ(title, QString::fromUtf8("Délete"));
    EXPECT_EQ(text, QString::fromUtf8("Delete “Orders” ?\nIt cannot be undone."));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(centre.x(), screen.center().x(), 2);
    EXPECT_NEAR(centre.y(), screen.center().y(), 2);
}

TEST_F(QtPromptTest, YesAndEscapeAreAnsweredAsWindowsWould) {
    {
        KivModalDriver driver({},
                              [](QWidget* w) { qobject_cast<QMessageBox*>(w)->defaultButton()->click(); });
        EXPECT_TRUE(KivMessageYesNo("Go on ?"));
    }
    {
        // Escape in a box with Cancel gives Cancel.
        KivModalDriver driver({}, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        EXPECT_EQ(m_prompt->MessageBox("x", "y", KivBox::YesNoCancel), KivBox::IdCancel);
    }
}

TEST_F(QtPromptTest, ErrorBoxOffersOnlyTheChoicesThatAreOpen) {
    struct Case {
        bool canDefault, canRetry, canBreak;
        const char* click;
        KivErrorChoice expected;
        std::vector<QString> buttons;
    };
    const Case cases[] = {
        {false, false, false, "Quit", KivErrorChoice::Quit, {"Quit"}},
        {true, true, false, "Retry", KivErrorChoice::Retry, {"Default", "Quit", "Retry"}},
        {true, false, false, "Default", KivErrorChoice::Default, {"Default", "Quit"}},
        {false, false, true, "Break", KivErrorChoice::Break, {"Break"}},
    };
    for (const Case& c : cases) {
        std::vector<QString> shown;
        QString title;
        KivModalDriver driver({}, [&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            title = box->windowTitle();
            for (QAbstractButton* button : box->buttons())
                shown.push_back(button->objectName());
            std::sort(shown.begin(), shown.end());
            box->findChild<QPushButton*>(QLatin1String(c.click))->click();
        });
        EXPECT_EQ(m_prompt->ErrorBox("Open error", "ERROR", c.canDefault, c.canRetry, c.canBreak), c.expected)
            << c.click;
        EXPECT_EQ(shown, c.buttons) << c.click;
        EXPECT_EQ(title, QStringLiteral("ERROR"));
    }
}

TEST_F(QtPromptTest, FolderDialogTakesAndGivesDosPaths) {
    std::filesystem::create_directories(Scratch() / "aef" / "orders");
    QString startDir;
    KivModalDriver driver({}, [&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        startDir = dialog->directory().absolutePath();
        dialog->selectFile(QString::fromStdString((Scratch() / "aef" / "orders").string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    auto picked = m_prompt->BrowseFolder("Select base Folder", ScratchDos("AEF"));
    EXPECT_EQ(startDir.toStdString(), (Scratch() / "aef").string()); // found ignoring case
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(*picked, ScratchDos("aef\\orders"));
}

TEST_F(QtPromptTest, CancelledFileDialogGivesNothing) {
    QStringList filters;
    KivModalDriver driver({}, [&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        dialog->reject();
    });
    EXPECT_FALSE(m_prompt->OpenFile("Open", "Info files (*.KPI)", ScratchDos()).has_value());
    // The host's file names differ in case: both spellings are shown.
    EXPECT_EQ(filters, QStringList{QStringLiteral("Info files (*.KPI *.kpi)")});
}
