#include "explorer/dialogs/KivInputDlg.h"

#include "explorer/KivAnsi.h"
#include "explorer/KivCenterWindow.h"
#include "explorer/dialogs/KivNamed.h"
#include "support/KivStringUtil.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

KivInputDlg::KivInputDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("KivInputDlg"));
    setWindowTitle(QStringLiteral("Caption"));

    m_prompt = KivNamed(new QLabel(QStringLiteral("Prompt"), this), "oDCPrompt");
    m_prompt->setWordWrap(true);
    m_edit = KivNamed(new QLineEdit(this), "oDCValue");
    m_edit->setMinimumWidth(280);
    m_prompt->setBuddy(m_edit);
    m_ok = KivNamed(new QPushButton(QStringLiteral("Ok"), this), "oCCOkPB");
    m_ok->setDefault(true);
    m_cancel = KivNamed(new QPushButton(QStringLiteral("Cancel"), this), "oCCCancelPB");

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_prompt, 0, 0);
    grid->addWidget(m_edit, 1, 0);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 1, 3, 1);
    grid->setRowStretch(2, 1);

    connect(m_ok, &QPushButton::clicked, this, &KivInputDlg::OkPB);
    connect(m_cancel, &QPushButton::clicked, this, &KivInputDlg::reject);
}

std::string KivInputDlg::Prompt() const {
    return KivToAnsi(m_prompt->text());
}

void KivInputDlg::Prompt(const std::string& prompt) {
    m_prompt->setText(KivFromAnsi(prompt));
}

void KivInputDlg::Ok(const std::string& caption) {
    m_ok->setText(KivFromAnsi(caption));
}

void KivInputDlg::Cancel(const std::string& caption) {
    m_cancel->setText(KivFromAnsi(caption));
}

void KivInputDlg::showEvent(QShowEvent* event) {
    if (!m_value.empty())
        m_edit->setText(KivFromAnsi(m_value));
    m_edit->selectAll();
    m_edit->setFocus();
    QDialog::showEvent(event);
}

void KivInputDlg::OkPB() {
    m_value = KivToAnsi(m_edit->text());
    done(1);
}

void KivInputDlg::reject() {
    done(2);
}

std::string KivInputBox(const std::string& caption, const std::string& prompt,
                        const std::string& defaultValue, bool centre, const std::string& okText,
                        const std::string& cancelText, QWidget* owner) {
    KivInputDlg dialog(owner);
    dialog.setWindowTitle(KivFromAnsi(caption));
    dialog.Prompt(prompt);
    dialog.Value(defaultValue);
    if (!okText.empty())
        dialog.Ok(okText);
    if (!cancelText.empty())
        dialog.Cancel(cancelText);
    if (centre) {
        dialog.adjustSize();
        KivCenterWindow(&dialog);
    }
    if (dialog.exec() != 1)
        return defaultValue;
    return KivAllTrim(dialog.Value());
}
