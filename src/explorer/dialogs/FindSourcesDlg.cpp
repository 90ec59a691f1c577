#include "explorer/dialogs/FindSourcesDlg.h"

#include "explorer/KivAnsi.h"
#include "explorer/dialogs/KivNamed.h"

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
    m_pattern = KivNamed(new QLineEdit(this), "oDCPattern");
    m_regex = KivNamed(new QCheckBox(QStringLiteral("&Regular expression"), this), "oDCRegex");
    auto* current = KivNamed(new QRadioButton(QStringLiteral("&Current project"), this), "oDCCurrentProject");
    current->setChecked(true);
    m_all = KivNamed(new QRadioButton(QStringLiteral("&All projects"), this), "oDCAllProjects");
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
