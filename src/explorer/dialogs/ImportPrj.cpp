#include "explorer/dialogs/ImportPrj.h"

#include "explorer/KivAnsi.h"
#include "explorer/KivIcons.h"
#include "explorer/dialogs/KivNamed.h"
#include "explorer/transfer/KivProjectImport.h"
#include "platform/KivDosPath.h"
#include "support/KivPrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// A named icon of the program, or the style's own picture while the program has none by that
// name.
QIcon Icon(const char* name, QStyle::StandardPixmap fallback) {
    if (QFile::exists(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name))))
        return KivIcon(name);
    return QApplication::style()->standardIcon(fallback);
}

// A tree view shows a state image left of the item's image: both are drawn side by side here.
QIcon WithState(const QIcon& image, int state) {
    const QIcon stateIcon = state == 1 ? Icon("ICON_YES", QStyle::SP_DialogApplyButton)
                                       : Icon("ICON_NO", QStyle::SP_DialogCancelButton);
    QPixmap pixmap(34, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.drawPixmap(0, 0, stateIcon.pixmap(16, 16));
    painter.drawPixmap(18, 0, image.pixmap(16, 16));
    painter.end();
    return QIcon(pixmap);
}

} // namespace

ImportPrj::ImportPrj(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ImportPrj"));
    setWindowTitle(QStringLiteral("Import Project"));

    m_fixedText1 = KivNamed(new QLabel(QStringLiteral("Name :"), this), "oDCFixedText1");
    m_prjName = KivNamed(new QLineEdit(this), "oDCPrjName");
    m_fixedText2 = KivNamed(new QLabel(QStringLiteral("Path :"), this), "oDCFixedText2");
    m_prjPath = KivNamed(new QLineEdit(this), "oDCPrjPath");
    m_prjPath->setMinimumWidth(280);
    m_changePB = KivNamed(new QPushButton(QStringLiteral("..."), this), "oCCChangePB");
    m_changePB->setAutoDefault(false);
    m_importPB = KivNamed(new QPushButton(QStringLiteral("&Import"), this), "oCCImportPB");
    m_importPB->setDefault(true);
    m_cancelPB = KivNamed(new QPushButton(QStringLiteral("&Cancel"), this), "oCCCancelPB");
    m_cancelPB->setAutoDefault(false);
    m_createChk = KivNamed(new QCheckBox(QStringLiteral("Create Fullpath if needed"), this), "oDCCreateChk");
    m_prjTree = KivNamed(new QTreeWidget(this), "oDCPrjTree");
    m_prjTree->setHeaderHidden(true);
    m_prjTree->setColumnCount(1);
    m_prjTree->setIconSize(QSize(34, 16));
    m_prjTree->setMinimumHeight(180);
    m_fixedText1->setBuddy(m_prjName);
    m_fixedText2->setBuddy(m_prjPath);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_fixedText1, 0, 0);
    grid->addWidget(m_prjName, 0, 1, 1, 2);
    grid->addWidget(m_fixedText2, 1, 0);
    grid->addWidget(m_prjPath, 1, 1);
    grid->addWidget(m_changePB, 1, 2);
    grid->addWidget(m_createChk, 2, 1, 1, 2);
    grid->addWidget(m_prjTree, 3, 0, 1, 3);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_importPB);
    buttons->addWidget(m_cancelPB);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 3, 4, 1);
    grid->setRowStretch(3, 1);

    connect(m_importPB, &QPushButton::clicked, this, &ImportPrj::ImportPB);
    connect(m_cancelPB, &QPushButton::clicked, this, [this] { done(0); });
    connect(m_changePB, &QPushButton::clicked, this, &ImportPrj::ChangePB);
}

void ImportPrj::Fill(const KivProjectImportPlan& plan) {
    m_prjName->setText(KivFromAnsi(plan.name));
    m_prjPath->setText(KivFromAnsi(plan.path));
    m_prjTree->clear();
    auto* root = new QTreeWidgetItem(m_prjTree, QStringList(QStringLiteral("Project Applications")));
    root->setData(0, KeyRole, QStringLiteral("Prj"));
    root->setIcon(0, Icon("ICON_PRJ", QStyle::SP_DirIcon));
    const QIcon app = Icon("ICON_APP", QStyle::SP_FileIcon);
    for (const KivProjectImportPlan::Entry& entry : plan.entries) {
        auto* item = new QTreeWidgetItem(root, QStringList(KivFromAnsi(entry.name)));
        const int state = entry.present ? 1 : 2;
        item->setData(0, KeyRole, KivFromAnsi(entry.section));
        item->setData(0, StateRole, state);
        item->setIcon(0, WithState(app, state));
    }
    root->setExpanded(true);
}

std::string ImportPrj::PrjName() const {
    return KivToAnsi(m_prjName->text());
}

std::string ImportPrj::PrjPath() const {
    return kiv::dospath::FromTyped(KivToAnsi(m_prjPath->text()));
}

bool ImportPrj::CreatePath() const {
    return m_createChk->isChecked();
}

void ImportPrj::ImportPB() {
    KivMessageQuestion question;
    const KivProjectTargetCheck check =
        KivCheckProjectTarget(PrjName(), PrjPath(), aExisting, CreatePath(), question);
    KivShowNotices(KivProjectTargetNotices(check));
    if (check == KivProjectTargetCheck::Ok)
        done(1);
}

void ImportPrj::ChangePB() {
    std::string start = PrjPath();
    // "C:\" keeps its backslash: without it the drive's current folder would be meant.
    if (start.size() > 1 && start.back() == '\\' && !(start.size() == 3 && start[1] == ':'))
        start.pop_back();
    if (auto chosen = KivPrompt().BrowseFolder("Select the Project Directory", start))
        m_prjPath->setText(KivFromAnsi(*chosen));
}
