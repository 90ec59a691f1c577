#include "explorer/dialogs/ImportList.h"

#include "explorer/KivAnsi.h"
#include "explorer/KivIcons.h"
#include "explorer/dialogs/KivInputDlg.h"
#include "explorer/dialogs/KivNamed.h"
#include "explorer/transfer/KivKeaPlan.h"

#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Image numbers of the summary's image list (from 1), and the status icons.
enum Image { App = 1, Lib, External, Mef, SysLib, Udc, Ch, Warning, No, Yes };

// The program's icon of that name; a stock icon of the same meaning while the program has none.
QIcon NamedIcon(const char* name, QStyle::StandardPixmap stock) {
    // Asking for a known icon first makes sure the icon resources are registered.
    static const bool ready = !KivIcon("AA_ICON").isNull();
    if (ready && QFile::exists(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name))))
        return KivIcon(name);
    return QApplication::style()->standardIcon(stock);
}

enum Status { StatusYes, StatusWarning, StatusNo };

int StatusOf(KivKeaStatus status) {
    switch (status) {
    case KivKeaStatus::Yes:
        return StatusYes;
    case KivKeaStatus::Warning:
        return StatusWarning;
    default:
        return StatusNo;
    }
}

QLabel* Text(QWidget* parent, const char* name, const char* text) {
    return KivNamed(new QLabel(QString::fromLatin1(text), parent), name);
}

QLabel* Icon(QWidget* parent, const char* name) {
    auto* label = KivNamed(new QLabel(parent), name);
    label->setFixedSize(16, 16);
    return label;
}

} // namespace

ImportList::ImportList(KivKeaPlan& plan, QWidget* owner) : QDialog(owner), m_plan(plan) {
    setObjectName(QStringLiteral("ImportList"));
    setWindowTitle(QStringLiteral("Import Summary"));

    m_images[App] = NamedIcon("ICON_APP", QStyle::SP_ComputerIcon);
    m_images[Lib] = NamedIcon("ICON_LIB", QStyle::SP_DirClosedIcon);
    m_images[External] = NamedIcon("ICON_EXTERNAL", QStyle::SP_FileLinkIcon);
    m_images[Mef] = NamedIcon("ICON_MEF", QStyle::SP_DirOpenIcon);
    m_images[SysLib] = NamedIcon("ICON_SYSLIB", QStyle::SP_DriveHDIcon);
    m_images[Udc] = NamedIcon("ICON_UDC", QStyle::SP_FileDialogDetailedView);
    m_images[Ch] = NamedIcon("ICON_CH", QStyle::SP_FileDialogInfoView);
    m_images[Warning] = NamedIcon("ICON_WARNING", QStyle::SP_MessageBoxWarning);
    m_images[No] = NamedIcon("ICON_NO", QStyle::SP_MessageBoxCritical);
    m_images[Yes] = NamedIcon("ICON_YES", QStyle::SP_DialogApplyButton);

    m_tree = KivNamed(new QTreeWidget(this), "oDCTreeInfo");
    m_tree->setHeaderHidden(true);
    m_tree->setIconSize(QSize(16, 16));
    m_appInfo = Text(this, "oDCAppInfo", "Fixed Text");
    m_modInfo = Text(this, "oDCModInfo", "Module");
    m_libInfo = Text(this, "oDCLibInfo", "Library");
    m_import = KivNamed(new QPushButton(QStringLiteral("&Import"), this), "oCCImportPB");
    m_import->setEnabled(false);
    m_cancel = KivNamed(new QPushButton(QStringLiteral("&Cancel"), this), "oCCCancelPB");
    m_appIcon = Icon(this, "oDCAppIcon");
    m_modIcon = Icon(this, "oDCModIcon");
    m_libIcon = Icon(this, "oDCLibIcon");
    m_chInfo = Text(this, "oDCCHInfo", "CH");
    m_chIcon = Icon(this, "oDCCHIcon");
    m_udcInfo = Text(this, "oDCUDCInfo", "UDC");
    m_udcIcon = Icon(this, "oDCUDCIcon");
    m_rename = KivNamed(new QPushButton(QStringLiteral("&Rename"), this), "oCCRenamePB");
    m_rename->hide();

    connect(m_import, &QPushButton::clicked, this, [this] { done(1); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(0); });
    connect(m_rename, &QPushButton::clicked, this, &ImportList::RenamePB);

    auto* status = new QGridLayout;
    const std::pair<QLabel*, QLabel*> rows[] = {{m_appIcon, m_appInfo},
                                                {m_modIcon, m_modInfo},
                                                {m_libIcon, m_libInfo},
                                                {m_udcIcon, m_udcInfo},
                                                {m_chIcon, m_chInfo}};
    for (int row = 0; row < 5; ++row) {
        status->addWidget(rows[row].first, row, 0);
        status->addWidget(rows[row].second, row, 1);
    }
    status->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_rename);
    buttons->addStretch();
    buttons->addWidget(m_import);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(status);
    layout->addLayout(buttons);
    resize(420, 460);

    Fill();
}

std::string ImportList::cAppName() const {
    return m_plan.cAppName;
}

QIcon ImportList::Image(int image, int overlay) const {
    if (overlay == 0)
        return m_images[image];
    QPixmap pixmap = m_images[image].pixmap(16, 16);
    QPainter painter(&pixmap);
    painter.drawPixmap(0, 0, m_images[overlay == 1 ? Warning : No].pixmap(16, 16));
    return QIcon(pixmap);
}

QTreeWidgetItem* ImportList::AddItem(QTreeWidgetItem* parent, const std::string& id, const std::string& label,
                                     int image, int overlay) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    item->setText(0, KivFromAnsi(label));
    item->setData(0, kIdRole, KivFromAnsi(id));
    item->setData(0, kOverlayRole, overlay);
    item->setIcon(0, Image(image, overlay));
    return item;
}

void ImportList::SetStatus(QLabel* icon, int status) {
    static const char* const names[] = {"yes", "warning", "no"};
    const int image = status == StatusYes ? Yes : status == StatusWarning ? Warning : No;
    icon->setPixmap(m_images[image].pixmap(16, 16));
    icon->setProperty(kStatusProperty, QString::fromLatin1(names[status]));
}

void ImportList::Fill() {
    using G = KivKeaPlan::Group;
    m_appItem = AddItem(nullptr, "APP", m_plan.cAppName, App, m_plan.appExists ? 1 : 0);
    SetStatus(m_appIcon, StatusOf(m_plan.AppStatus()));
    m_appInfo->setText(KivFromAnsi(m_plan.AppInfo()));
    m_rename->setVisible(m_plan.appExists);

    struct GroupRow {
        G group;
        const char* label;
        int groupImage;
        int itemImage;
        QLabel* icon;
        QLabel* info;
    };
    const GroupRow groups[] = {
        {G::Modules, "Modules", Mef, External, m_modIcon, m_modInfo},
        {G::Libraries, "Libraries", SysLib, Lib, m_libIcon, m_libInfo},
        {G::UDC, "UDC", Udc, Udc, m_udcIcon, m_udcInfo},
        {G::CH, "CH", Ch, Ch, m_chIcon, m_chInfo},
    };
    QTreeWidgetItem* select = m_plan.appExists ? m_appItem : nullptr;
    const G selectGroup = m_plan.SelectGroup();
    const size_t selectIndex = m_plan.SelectIndex();
    for (const GroupRow& row : groups) {
        QTreeWidgetItem* groupItem = AddItem(m_appItem, row.label, row.label, row.groupImage, 0);
        const auto& items = m_plan.Items(row.group);
        for (size_t i = 0; i < items.size(); ++i) {
            QTreeWidgetItem* item =
                AddItem(groupItem, items[i].id, items[i].label, row.itemImage, items[i].missing ? 2 : 0);
            if (!select && row.group == selectGroup && i == selectIndex)
                select = item;
        }
        SetStatus(row.icon, StatusOf(m_plan.Status(row.group)));
        row.info->setText(KivFromAnsi(m_plan.Info(row.group)));
    }
    m_appItem->setExpanded(true);
    if (select) {
        m_tree->setCurrentItem(select);
        m_tree->scrollToItem(select);
    }
    m_import->setEnabled(m_plan.CanImport());
}

void ImportList::RenamePB() {
    const std::string answer =
        KivInputBox("Set a new application name", "Name", m_plan.cAppName, true, {}, {}, this);
    if (!m_plan.Rename(answer))
        return;
    m_rename->hide();
    SetStatus(m_appIcon, StatusYes);
    m_appInfo->setText(KivFromAnsi(m_plan.AppInfo()));
    m_import->setEnabled(true);
}
