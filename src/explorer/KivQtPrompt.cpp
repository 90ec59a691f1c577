#include "explorer/KivQtPrompt.h"

#include "explorer/KivAnsi.h"
#include "explorer/KivCenterWindow.h"
#include "platform/KivDosPath.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <utility>
#include <vector>

namespace {

constexpr const char* kAnswer = "kivAnswer";

// Message texts use CR LF line ends; a label wants LF alone.
QString BoxText(const std::string& text) {
    return KivFromAnsi(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QMessageBox::Icon IconOf(uint32_t style) {
    switch (style & KivBox::IconMask) {
    case KivBox::IconStop:
        return QMessageBox::Critical;
    case KivBox::IconQuestion:
        return QMessageBox::Question;
    case KivBox::IconExclamation:
        return QMessageBox::Warning;
    case KivBox::IconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

std::vector<std::pair<QMessageBox::StandardButton, int>> ButtonsOf(uint32_t style) {
    using B = QMessageBox;
    switch (style & KivBox::ButtonMask) {
    case KivBox::OkCancel:
        return {{B::Ok, KivBox::IdOk}, {B::Cancel, KivBox::IdCancel}};
    case KivBox::AbortRetryIgnore:
        return {{B::Abort, KivBox::IdAbort}, {B::Retry, KivBox::IdRetry}, {B::Ignore, KivBox::IdIgnore}};
    case KivBox::YesNoCancel:
        return {{B::Yes, KivBox::IdYes}, {B::No, KivBox::IdNo}, {B::Cancel, KivBox::IdCancel}};
    case KivBox::YesNo:
        return {{B::Yes, KivBox::IdYes}, {B::No, KivBox::IdNo}};
    case KivBox::RetryCancel:
        return {{B::Retry, KivBox::IdRetry}, {B::Cancel, KivBox::IdCancel}};
    default:
        return {{B::Ok, KivBox::IdOk}};
    }
}

// Shows a box modally, centred on the screen, and gives back the button that ended it.
QAbstractButton* Run(QMessageBox& box) {
    box.setWindowModality(Qt::ApplicationModal);
    // The box only knows its size once shown; centre it then, before its loop starts.
    box.show();
    KivCenterWindow(&box);
    box.exec();
    return box.clickedButton();
}

QString HostStart(const std::string& start) {
    if (start.empty())
        return {};
    auto host = kiv::dospath::Resolve(start);
    return host ? QString::fromStdString(host->string()) : QString();
}

std::optional<std::string> DosResult(const QString& picked) {
    if (picked.isEmpty())
        return std::nullopt;
    return kiv::dospath::FromTyped(picked.toStdString());
}

// The IDE's file system ignores case, the host's does not: "*.KPI" also shows "x.kpi".
QString HostFilter(const std::string& filter) {
    QString text = KivFromAnsi(filter);
    static const QRegularExpression pattern(QStringLiteral("\\*\\.[^\\s;)]+"));
    QString out;
    qsizetype last = 0;
    for (auto it = pattern.globalMatch(text); it.hasNext();) {
        auto match = it.next();
        const QString p = match.captured();
        out += text.mid(last, match.capturedStart() - last);
        out += p;
        if (p.toLower() != p)
            out += QLatin1Char(' ') + p.toLower();
        if (p.toUpper() != p)
            out += QLatin1Char(' ') + p.toUpper();
        last = match.capturedEnd();
    }
    out += text.mid(last);
    return out;
}

} // namespace

void KivBuildMessageBox(QMessageBox& box, const std::string& text, const std::string& caption,
                        uint32_t style) {
    box.setWindowTitle(KivFromAnsi(caption));
    box.setText(BoxText(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(IconOf(style));
    const auto buttons = ButtonsOf(style);
    const size_t defaultIndex = (style & KivBox::DefButton3) ? 2 : (style & KivBox::DefButton2) ? 1 : 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
        QPushButton* button = box.addButton(buttons[i].first);
        button->setProperty(kAnswer, buttons[i].second);
        if (i == defaultIndex)
            box.setDefaultButton(button);
    }
    // A default button past the last one leaves the first as default, as Windows does.
    if (defaultIndex >= buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(box.buttons().value(0)));
}

int KivQtPrompt::MessageBox(const std::string& text, const std::string& caption, uint32_t style) {
    QMessageBox box;
    KivBuildMessageBox(box, text, caption, style);
    QAbstractButton* clicked = Run(box);
    if (clicked)
        return clicked->property(kAnswer).toInt();
    // Closed without a button: what Escape gives, Cancel where the box has it, else its default.
    for (const auto& button : ButtonsOf(style))
        if (button.second == KivBox::IdCancel)
            return KivBox::IdCancel;
    return KivDefaultAnswer(style);
}

std::optional<std::string> KivQtPrompt::BrowseFolder(const std::string& title, const std::string& start) {
    return DosResult(QFileDialog::getExistingDirectory(nullptr, KivFromAnsi(title), HostStart(start)));
}

std::optional<std::string> KivQtPrompt::OpenFile(const std::string& caption, const std::string& filter,
                                                 const std::string& start) {
    return DosResult(
        QFileDialog::getOpenFileName(nullptr, KivFromAnsi(caption), HostStart(start), HostFilter(filter)));
}

std::optional<std::string> KivQtPrompt::SaveFile(const std::string& caption, const std::string& filter,
                                                 const std::string& start) {
    return DosResult(
        QFileDialog::getSaveFileName(nullptr, KivFromAnsi(caption), HostStart(start), HostFilter(filter)));
}

void KivQtPrompt::Beep(int, int) {
    QApplication::beep();
}

KivErrorChoice KivQtPrompt::ErrorBox(const std::string& text, const std::string& title, bool canDefault,
                                     bool canRetry, bool canBreak) {
    QMessageBox box;
    box.setWindowTitle(KivFromAnsi(title));
    box.setText(BoxText(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(title == "WARNING" ? QMessageBox::Warning : QMessageBox::Critical);
    // Leaving is "Break" where the run-time can abandon the current sequence, else "Quit".
    const KivErrorChoice leave = canBreak ? KivErrorChoice::Break : KivErrorChoice::Quit;
    QPushButton* leaveButton =
        box.addButton(canBreak ? QStringLiteral("&Break") : QStringLiteral("&Quit"), QMessageBox::RejectRole);
    leaveButton->setObjectName(canBreak ? QStringLiteral("Break") : QStringLiteral("Quit"));
    leaveButton->setProperty(kAnswer, static_cast<int>(leave));
    if (canRetry) {
        QPushButton* retry = box.addButton(QStringLiteral("&Retry"), QMessageBox::AcceptRole);
        retry->setObjectName(QStringLiteral("Retry"));
        retry->setProperty(kAnswer, static_cast<int>(KivErrorChoice::Retry));
    }
    if (canDefault) {
        QPushButton* def = box.addButton(QStringLiteral("&Default"), QMessageBox::AcceptRole);
        def->setObjectName(QStringLiteral("Default"));
        def->setProperty(kAnswer, static_cast<int>(KivErrorChoice::Default));
    }
    box.setDefaultButton(leaveButton);
    box.setEscapeButton(leaveButton);
    QAbstractButton* clicked = Run(box);
    return clicked ? static_cast<KivErrorChoice>(clicked->property(kAnswer).toInt()) : leave;
}
