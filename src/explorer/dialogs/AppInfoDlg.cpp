#include "explorer/dialogs/AppInfoDlg.h"

#include "explorer/KivAnsi.h"
#include "explorer/dialogs/KivNamed.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

AppInfoDlg::AppInfoDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("AppInfoDlg"));
    setWindowTitle(QStringLiteral("Application Informations"));

    m_list = KivNamed(new QListWidget(this), "LibList");
    auto* close = KivNamed(new QPushButton(QStringLiteral("&Close"), this), "oCCClosePB");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(320, 260);
}

void AppInfoDlg::AddLibrary(const std::string& name) {
    m_list->addItem(KivFromAnsi(name));
}
