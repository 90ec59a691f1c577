#include "explorer/dialogs/AboutDlg.h"

#include "explorer/KivHyperLink.h"
#include "explorer/KivIcons.h"
#include "explorer/dialogs/KivNamed.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* Text(QWidget* parent, const char* name, const QString& text) {
    return KivNamed(new QLabel(text, parent), name);
}

} // namespace

AboutDlg::AboutDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(QStringLiteral("About..."));
    setWindowIcon(KivIcon("AA_ICON"));

    auto* icon = Text(this, "oDCIcon", {});
    icon->setPixmap(KivIcon("AA_ICON").pixmap(QSize(48, 48), devicePixelRatioF()));
    icon->setFixedSize(48, 48);

    m_version = Text(this, "oDCVersion", QStringLiteral("Kiv Repository Tools - V"));
    QFont bold = m_version->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_version->setFont(bold);
    m_version->setText(m_version->text() + QStringLiteral("0.9"));

    QLabel* maker = Text(this, "oDCMaker", QStringLiteral("Kiv Repository Tools developers"));
    QLabel* description =
        Text(this, "oDCDescription",
             QStringLiteral("Explorer and transfer tools for the CA-Visual Objects 2.5 repository"));

    m_homePage = new KivHyperLink(this);
    m_homePage->setObjectName(QStringLiteral("oDCHomePage"));
    m_homePage->Caption("https://kiv-tools.example.org");
    m_homePage->Action("https://kiv-tools.example.org");
    m_eMail = new KivHyperLink(this);
    m_eMail->setObjectName(QStringLiteral("oDCEMail"));
    m_eMail->Caption("team@kiv-tools.example.org");
    m_eMail->Action("mailto:team@kiv-tools.example.org");

    auto* close = KivNamed(new QPushButton(QStringLiteral("&Close"), this), "oCCClosePB");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0, 5, 1, Qt::AlignTop);
    grid->addWidget(m_version, 0, 1);
    grid->addWidget(maker, 1, 1);
    grid->addWidget(description, 2, 1);
    grid->addWidget(m_homePage, 3, 1, Qt::AlignLeft);
    grid->addWidget(m_eMail, 4, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    grid->addLayout(buttons, 5, 0, 1, 2);
    grid->setColumnStretch(1, 1);
}
