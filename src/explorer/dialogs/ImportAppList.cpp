#include "explorer/dialogs/ImportAppList.h"

#include "explorer/KivAnsi.h"
#include "explorer/KivIcons.h"
#include "explorer/dialogs/KivInputDlg.h"
#include "explorer/dialogs/KivNamed.h"

#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

// The program's icon of that name, or the style's nearest one while the program has none.
QIcon Icon(const char* name) {
    const QString key = QString::fromLatin1(name);
    if (QFile::exists(QStringLiteral(":/icons/") + key + QStringLiteral(".svg")))
        return KivIcon(name);
    QStyle::StandardPixmap standard = QStyle::SP_FileIcon;
    if (key == QLatin1String("ICON_WARNING"))
        standard = QStyle::SP_MessageBoxWarning;
    else if (key == QLatin1String("ICON_YES"))
        standard = QStyle::SP_DialogApplyButton;
    else if (key == QLatin1String("ICON_NO"))
        standard = QStyle::SP_DialogCancelButton;
    else if (key == QLatin1String("ICON_APP"))
        standard = QStyle::SP_ComputerIcon;
    else if (key == QLatin1String("ICON_LIB"))
        standard = QStyle::SP_DirIcon;
    return QApplication::style()->standardIcon(standard);
}

const char* const kImages[] = {"ICON_APP", "ICON_LIB", "ICON_SYSLIB"};

// A node's picture: the state image (if any) beside the image, the warning over its corner.
QIcon NodeIcon(int image, int state, bool overlay) {
    const int side = 16;
    QPixmap picture(state ? 2 * side : side, side);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    int x = 0;
    if (state) {
        painter.drawPixmap(0, 0, Icon(state == 1 ? "ICON_YES" : "ICON_NO").pixmap(side, side));
        x = side;
    }
    painter.drawPixmap(x, 0, Icon(kImages[image - 1]).pixmap(side, side));
    if (overlay)
        painter.drawPixmap(x + side / 2, side / 2, Icon("ICON_WARNING").pixmap(side / 2, side / 2));
    return QIcon(picture);
}

} // namespace

ImportAppList::ImportAppList(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ImportAppList"));
    setWindowTitle(QStringLiteral("Import Summary"));

    m_tree = KivNamed(new QTreeWidget(this), "oDCTreeInfo");
    m_tree->setHeaderHidden(true);
    m_tree->setIconSize(QSize(32, 16));
    m_appInfo = KivNamed(new QLabel(this), "oDCAppInfo");
    m_libInfo = KivNamed(new QLabel(this), "oDCLibInfo");
    m_import = KivNamed(new QPushButton(QStringLiteral("&Import"), this), "oCCImportPB");
    m_import->setEnabled(false);
    m_import->setDefault(true);
    m_cancel = KivNamed(new QPushButton(QStringLiteral("&Cancel"), this), "oCCCancelPB");
    m_appIcon = KivNamed(new QLabel(this), "oDCAppIcon");
    m_libIcon = KivNamed(new QLabel(this), "oDCLibIcon");
    m_rename = KivNamed(new QPushButton(QStringLiteral("&Rename"), this), "oCCRenamePB");
    m_rename->hide();
    m_group = KivNamed(new QGroupBox(QStringLiteral("Import "), this), "oDCImportGrp");
    m_delete = KivNamed(new QRadioButton(QStringLiteral("Delete Existing"), m_group), "oCCDelRB");
    m_keep = KivNamed(new QRadioButton(QStringLiteral("Keep Existing"), m_group), "oCCKeepRB");
    m_merge = KivNamed(new QRadioButton(QStringLiteral("Merge with Existing"), m_group), "oCCMergeRB");
    m_libInfo2 = KivNamed(new QLabel(this), "oDCLibInfo2");
    m_libIcon2 = KivNamed(new QLabel(this), "oDCLibIcon2");
    ImportGrp("D");

    auto* radios = new QVBoxLayout(m_group);
    radios->addWidget(m_delete);
    radios->addWidget(m_keep);
    radios->addWidget(m_merge);

    auto* verdicts = new QGridLayout;
    verdicts->addWidget(m_appIcon, 0, 0);
    verdicts->addWidget(m_appInfo, 0, 1);
    verdicts->addWidget(m_rename, 0, 2);
    verdicts->addWidget(m_libIcon, 1, 0);
    verdicts->addWidget(m_libInfo, 1, 1, 1, 2);
    verdicts->addWidget(m_libIcon2, 2, 0);
    verdicts->addWidget(m_libInfo2, 2, 1, 1, 2);
    verdicts->setColumnStretch(1, 1);

    auto* side = new QVBoxLayout;
    side->addLayout(verdicts);
    side->addWidget(m_group);
    side->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_import);
    buttons->addWidget(m_cancel);
    side->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(side);
    resize(560, 320);

    connect(m_import, &QPushButton::clicked, this, [this] { done(1); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(0); });
    connect(m_rename, &QPushButton::clicked, this, &ImportAppList::RenamePB);
}

void ImportAppList::Fill(const KivAppImportPlan& plan) {
    m_plan = plan;
    m_tree->clear();
    auto* app = Node(nullptr, QStringLiteral("App"), m_plan.appName, 1, 0, m_plan.appExists);
    if (m_plan.appExists && !m_plan.renamed) {
        Verdict(m_appIcon, m_appInfo, "ICON_NO", "Application already exist.");
        m_rename->show();
    } else {
        Verdict(m_appIcon, m_appInfo, "ICON_YES", "Application is Ok.");
        m_rename->hide();
    }

    auto* libraries = Node(app, QStringLiteral("Lib"), "Libraries", 3, 0, false);
    QTreeWidgetItem* firstMissing = nullptr;
    for (const KivAppImportLibrary& library : m_plan.libraries) {
        const bool present = library.state != KivAppImportLibrary::Missing;
        auto* node = Node(libraries, KivFromAnsi(library.section), library.name, 2, present ? 1 : 2,
                          library.state == KivAppImportLibrary::Existing);
        if (!present && !firstMissing)
            firstMissing = node;
    }

    if (m_plan.allPresent)
        Verdict(m_libIcon, m_libInfo, "ICON_YES", "All Libraries are Ok.");
    else
        Verdict(m_libIcon, m_libInfo, "ICON_NO", "At least one library is missing.");
    if (m_plan.anyExists)
        Verdict(m_libIcon2, m_libInfo2, "ICON_WARNING", "At least one library already exist.");
    m_libInfo2->setVisible(m_plan.anyExists);
    m_libIcon2->setVisible(m_plan.anyExists);
    m_group->setVisible(m_plan.anyExists);

    app->setExpanded(true);
    libraries->setExpanded(true);
    lHasError = firstMissing != nullptr;
    if (firstMissing) {
        m_tree->setCurrentItem(firstMissing);
        m_tree->scrollToItem(firstMissing);
    }
    m_import->setEnabled(m_plan.CanImport());
}

std::string ImportAppList::ImportGrp() const {
    if (m_keep->isChecked())
        return "K";
    if (m_merge->isChecked())
        return "M";
    return "D";
}

void ImportAppList::ImportGrp(const std::string& value) {
    (value == "K" ? m_keep : value == "M" ? m_merge : m_delete)->setChecked(true);
}

QTreeWidgetItem* ImportAppList::FindItem(const QString& key) const {
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if ((*it)->data(0, KeyRole).toString() == key)
            return *it;
    return nullptr;
}

void ImportAppList::RenamePB() {
    const std::string answer =
        KivInputBox("Set a new application name", "Name", m_plan.appName, true, "&Ok", "&Cancel", this);
    if (!m_plan.Rename(answer))
        return;
    m_rename->hide();
    Verdict(m_appIcon, m_appInfo, "ICON_YES", "Application is Ok.");
    m_import->setEnabled(true);
}

void ImportAppList::Verdict(QLabel* icon, QLabel* text, const char* iconName, const char* message) {
    icon->setPixmap(Icon(iconName).pixmap(16, 16));
    icon->setProperty("icon", QString::fromLatin1(iconName));
    text->setText(QString::fromLatin1(message));
}

QTreeWidgetItem* ImportAppList::Node(QTreeWidgetItem* parent, const QString& key, const std::string& text,
                                     int image, int state, bool overlay) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    item->setText(0, KivFromAnsi(text));
    item->setData(0, KeyRole, key);
    item->setData(0, ImageRole, image);
    item->setData(0, StateRole, state);
    item->setData(0, OverlayRole, overlay ? 1 : 0);
    item->setIcon(0, NodeIcon(image, state, overlay));
    return item;
}
