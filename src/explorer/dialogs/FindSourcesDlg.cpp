#include "explorer/dialogs/FindSourcesDlg.h"

#include "explorer/KivAnsi.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

FindSourcesDlg::FindSourcesDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("FindSourcesDlg"));
    setWindowTitle(QStringLiteral("Find in Sources"));
    m_pattern = new QLineEdit(this);
    m_pattern->setObjectName(QStringLiteral("oDCPattern"));
    m_regex = new QCheckBox(QStringLiteral("&Regular expression"), this);
    m_regex->setObjectName(QStringLiteral("oDCRegex"));
    auto* current = new QRadioButton(QStringLiteral("&Current project"), this);
    current->setObjectName(QStringLiteral("oDCCurrentProject"));
    current->setChecked(true);
    m_all = new QRadioButton(QStringLiteral("&All projects"), this);
    m_all->setObjectName(QStringLiteral("oDCAllProjects"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("oCCOkPB"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Find"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("oCCCancelPB"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* scope = new QHBoxLayout;
    scope->addWidget(current);
    scope->addWidget(m_all);
    scope->addStretch();
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Text:"), m_pattern);
    form->addRow(QString(), m_regex);
    form->addRow(QStringLiteral("In:"), scope);
    form->addRow(buttons);
    resize(420, sizeHint().height());
}

std::string FindSourcesDlg::Pattern() const {
    return KivToAnsi(m_pattern->text());
}

bool FindSourcesDlg::Regex() const {
    return m_regex->isChecked();
}

bool FindSourcesDlg::AllProjects() const {
    return m_all->isChecked();
}
