#include "explorer/RepoExplorer.h"

#include "explorer/KivAnsi.h"
#include "explorer/KivIcons.h"
#include "explorer/SourcePane.h"
#include "explorer/dialogs/AboutDlg.h"
#include "explorer/dialogs/AppInfoDlg.h"
#include "explorer/dialogs/SourceDlg.h"
#include "explorer/search/KivEntityCatalogue.h"
#include "repository/KivEntSymTypes.h"
#include "repository/KivRepoUtil.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivDate.h"
#include "support/KivErrorHandler.h"
#include "support/KivStringUtil.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>

namespace {

const char* const kIconNames[] = {"ICON_VO",     "ICON_PRJ", "ICON_APP",  "ICON_LIB",     "ICON_DLL",
                                  "ICON_SYSLIB", "ICON_MEF", "ICON_CODE", "ICON_EXTERNAL"};

const QIcon& ImageList(int index) {
    static const std::vector<QIcon> icons = [] {
        std::vector<QIcon> list;
        for (const char* name : kIconNames)
            list.push_back(KivIcon(name));
        return list;
    }();
    static const QIcon none;
    return index >= 1 && index <= static_cast<int>(icons.size()) ? icons[static_cast<size_t>(index - 1)]
                                                                 : none;
}

KivSymbol KindProject() {
    static const KivSymbol symbol("Project");
    return symbol;
}
KivSymbol KindApplication() {
    static const KivSymbol symbol("Application");
    return symbol;
}
KivSymbol KindModule() {
    static const KivSymbol symbol("Module");
    return symbol;
}
KivSymbol KindEntity() {
    static const KivSymbol symbol("Entity");
    return symbol;
}

constexpr int kKeyRole = Qt::UserRole;
constexpr const char* kDummySuffix = "_KivDummy";

std::string Digits10(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%010u", value);
    return buffer;
}

std::string AppKey(const std::string& project, uint16_t appId) {
    return project + Digits10(appId);
}

std::string ModuleKey(const std::string& project, uint16_t appId, uint32_t modId) {
    return project + Digits10(appId) + Digits10(modId);
}

// A date as the run-time shows it, in its date format; the null date keeps the separators only.
std::string DateText(const KivDate& date) {
    std::string text = KivUpper(KivRuntime().DateFormat);
    auto put = [&text](const char* field, int value, int digits) {
        const size_t at = text.find(field);
        if (at == std::string::npos)
            return false;
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
        std::string shown = buffer;
        shown = shown.substr(shown.size() - static_cast<size_t>(digits));
        text.replace(at, static_cast<size_t>(digits), shown);
        return true;
    };
    if (date.IsNull()) {
        for (char& c : text)
            if (c == 'Y' || c == 'M' || c == 'D')
                c = ' ';
        return text;
    }
    if (!put("YYYY", date.Year(), 4))
        put("YY", date.Year() % 100, 2);
    put("MM", date.Month(), 2);
    put("DD", date.Day(), 2);
    return text;
}

// The creation and last build columns of an application, module or entity. Each moment is read
// from the engine once and both its texts are made from it: lists can hold thousands of rows.
template <class T> std::string Created(const T& object) {
    const uint32_t seconds = object.CreateUnixTime();
    const bool success = object.Success();
    return DateText(kiv::repo::MomentDate(success, seconds)) + " " + kiv::repo::MomentTime(success, seconds);
}

template <class T> std::string LastBuild(const T& object) {
    const uint32_t seconds = object.LastBuildUnixTime();
    const bool success = object.Success();
    return DateText(kiv::repo::MomentDate(success, seconds)) + " " + kiv::repo::MomentTime(success, seconds);
}

// The icon and type text of an application: the first test that holds decides.
std::pair<int, const char*> ApplicationKind(const KivVOApplication& app) {
    if (app.IsApplication())
        return {RepoExplorer::kIconApp, "Executable"};
    if (app.IsSystemLibrary())
        return {RepoExplorer::kIconSysLib, "System Library"};
    if (app.IsDLL())
        return {RepoExplorer::kIconDLL, "DLL"};
    if (app.IsLibrary())
        return {RepoExplorer::kIconLib, "Library"};
    return {RepoExplorer::kIconVO, "Unknown"};
}

struct MenuEntry {
    int id;
    const char* menu;
    const char* submenu; // null: directly in the menu
    const char* text;
    const char* hint;
};

const MenuEntry kMenu[] = {
    {RepoExplorer::IDM_Exit, "&File", nullptr, "&Exit\tAlt+F4", "Close Explorer"},
    {RepoExplorer::IDM_ExportPrj, "&Project", nullptr, "&Export",
     "Export all applications and libraries of the current project"},
    {RepoExplorer::IDM_ImportPrj, "&Project", nullptr, "&Import", "Import a project"},
    {RepoExplorer::IDM_DeletePrj, "&Project", nullptr, "&Delete", "Delete the currenlty selected project"},
    {RepoExplorer::IDM_ExportAllPrj, "&Project", nullptr, "Export &All", "Export all projects"},
    {RepoExplorer::IDM_ExportAsPrg, "&Application", "&Export", "As &External modules",
     "Export all modules of the current application/library as PRG"},
    {RepoExplorer::IDM_ExportApp, "&Application", "&Export", "With Implicants",
     "Export the current application/library and Implicants"},
    {RepoExplorer::IDM_ImportAsPrg, "&Application", "&Import", "As &External modules",
     "Import an application build with external modules"},
    {RepoExplorer::IDM_ImportApp, "&Application", "&Import", "With &Implicants",
     "Import an Application and it's libraries"},
    {RepoExplorer::IDM_ListLib, "&Application", nullptr, "&Informations",
     "Access to various info about the application"},
    {RepoExplorer::IDM_ImportMef, "&Application", nullptr, "Import Modules...",
     "Import MEF files, or every MEF file of a folder, as modules of an application"},
    {RepoExplorer::IDM_ExportMef, "&Application", nullptr, "Export Modules...",
     "Export every module of the current application as a MEF file"},
    {RepoExplorer::IDM_CompareFile, "&Application", nullptr, "Compare With File...",
     "Compare the current application or module with an AEF, MEF or PRG file"},
    {RepoExplorer::IDM_SaveReg, "&Tools", nullptr, "&Registry Settings", "Save some registry settings"},
    {RepoExplorer::IDM_ExportPath, "&Tools", nullptr, "&Export Path",
     "Set the export for all applications in Project"},
    {RepoExplorer::IDM_About, "&Help", nullptr, "&About...", "About Kiv Repository"},
    // Browsing, after the items above.
    {RepoExplorer::IDM_FindEntity, "&File", nullptr, "Find &Entity...\tCtrl+K",
     "Find an entity by a part of its name"},
    {RepoExplorer::IDM_FindInSources, "&File", nullptr, "Find in &Sources...\tCtrl+Shift+F",
     "Find a text in the sources of the entities"},
    {RepoExplorer::IDM_OpenExportFile, "&File", nullptr, "Open Export &File...",
     "Show an AEF, MEF or PRG file without importing it"},
};

// Separators, as (menu item id, before or after it).
struct SeparatorAt {
    int id;
    bool before;
};
const SeparatorAt kSeparators[] = {
    {RepoExplorer::IDM_Exit, true},       {RepoExplorer::IDM_ImportPrj, false},
    {RepoExplorer::IDM_DeletePrj, false}, {RepoExplorer::IDM_ListLib, true},
    {RepoExplorer::IDM_FindEntity, true},
    {RepoExplorer::IDM_ImportMef, true},
};

// Toolbar buttons: image of the EXPL_TOOLBAR strip, menu item, tooltip; id 0 is a separator.
struct ToolButton {
    int image;
    int id;
    const char* tip;
};
const ToolButton kToolbar[] = {
    {3, RepoExplorer::IDM_Exit, "Exit Kiv Repository Explorer"},
    {0, 0, nullptr},
    {38, RepoExplorer::IDM_ExportPrj, "Export current Project"},
    {34, RepoExplorer::IDM_ExportAsPrg, "Export as external modules"},
    {32, RepoExplorer::IDM_ExportApp, "Export App and Implicants"},
    {0, 0, nullptr},
    {33, RepoExplorer::IDM_ImportPrj, "Import a project"},
    {35, RepoExplorer::IDM_ImportAsPrg, "Import as External Modules"},
    {9, RepoExplorer::IDM_ImportApp, "Import an Application and it's libraries"},
    {0, 0, nullptr},
    {10, RepoExplorer::IDM_ListLib, "Access to various info about the application"},
    {0, 0, nullptr},
    {21, RepoExplorer::IDM_About, "About..."},
};

} // namespace

RepoExplorer::RepoExplorer(QWidget* owner) : QMainWindow(owner) {
    setObjectName(QStringLiteral("RepoExplorer"));
    setWindowTitle(QStringLiteral("Kiv's CA-Visual Objects Repository Tools"));
    m_split = new QSplitter(Qt::Horizontal, this);
    m_split->setObjectName(QStringLiteral("SplitWindow"));
    m_split->setChildrenCollapsible(false);
    setCentralWidget(m_split);
    m_right = new QSplitter(Qt::Vertical, m_split);
    m_right->setObjectName(QStringLiteral("ListSplit"));
    m_right->setChildrenCollapsible(false);
    m_split->addWidget(m_right);
    m_pane = new SourcePane(m_right);
    m_right->addWidget(m_pane);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusText"));
    statusBar()->addWidget(m_status, 1);

    m_repository = KivVORepository::Create(true);
    if (!m_repository->Success())
        return;
    m_isValid = true;
    setWindowIcon(KivIcon("AA_ICON"));
    BuildMenu();
    resize(640, 480);
    BuildExplorer();
}

RepoExplorer::~RepoExplorer() = default;

void RepoExplorer::BuildMenu() {
    for (const MenuEntry& entry : kMenu) {
        const QString menuTitle = QLatin1String(entry.menu);
        QMenu* menu = nullptr;
        for (QAction* top : menuBar()->actions())
            if (top->menu() && top->text() == menuTitle)
                menu = top->menu();
        if (!menu) {
            menu = menuBar()->addMenu(menuTitle);
            menu->setObjectName(QString(menuTitle).remove(QLatin1Char('&')) + QStringLiteral("Menu"));
        }
        if (entry.submenu) {
            const QString subTitle = QLatin1String(entry.submenu);
            QMenu* sub = nullptr;
            for (QAction* item : menu->actions())
                if (item->menu() && item->text() == subTitle)
                    sub = item->menu();
            if (!sub)
                sub = menu->addMenu(subTitle);
            menu = sub;
        }
        const bool before = std::any_of(std::begin(kSeparators), std::end(kSeparators),
                                        [&](const SeparatorAt& s) { return s.id == entry.id && s.before; });
        const bool after = std::any_of(std::begin(kSeparators), std::end(kSeparators),
                                       [&](const SeparatorAt& s) { return s.id == entry.id && !s.before; });
        if (before)
            menu->addSeparator();
        QAction* action = menu->addAction(QLatin1String(entry.text));
        action->setObjectName(QStringLiteral("IDM_%1").arg(entry.id));
        action->setData(entry.id);
        action->setStatusTip(QLatin1String(entry.hint));
        action->setIconVisibleInMenu(false);
        if (after)
            menu->addSeparator();
        m_menuItems[entry.id] = action;
    }

    // The accelerator of the exit item; the menu shows it from the item's own text.
    QAction* exit = m_menuItems[IDM_Exit];
    exit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    exit->setShortcutContext(Qt::WindowShortcut);
    connect(exit, &QAction::triggered, this, &RepoExplorer::AEFExit);
    connect(m_menuItems[IDM_ListLib], &QAction::triggered, this, &RepoExplorer::ListLib);
    connect(m_menuItems[IDM_About], &QAction::triggered, this, [this] {
        AboutDlg about(this);
        about.exec();
    });

    QToolBar* toolbar = addToolBar(QStringLiteral("Toolbar"));
    toolbar->setObjectName(QStringLiteral("ExplToolbar"));
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setMovable(false);
    for (const ToolButton& button : kToolbar) {
        if (button.id == 0) {
            toolbar->addSeparator();
            continue;
        }
        QAction* action = m_menuItems[button.id];
        action->setIcon(KivToolbarIcon(button.image));
        action->setToolTip(QLatin1String(button.tip));
        toolbar->addAction(action);
    }

    // Items whose operation is not connected stay disabled rather than doing nothing when chosen.
    for (int id : {IDM_ExportPrj, IDM_ImportPrj, IDM_DeletePrj, IDM_ExportAllPrj, IDM_ExportAsPrg,
                   IDM_ExportApp, IDM_ImportAsPrg, IDM_ImportApp, IDM_SaveReg, IDM_ExportPath})
        m_menuItems[id]->setEnabled(false);
    ConnectOperations();
    ConnectBrowsing();
}

// The transfers and tools: each item calls the method of its operation.
void RepoExplorer::ConnectOperations() {
    const std::pair<int, void (RepoExplorer::*)()> operations[] = {
        {IDM_ExportAllPrj, &RepoExplorer::ExportAllPrj}, {IDM_ImportPrj, &RepoExplorer::ImportPrj},
        {IDM_ExportApp, &RepoExplorer::ExportApp},       {IDM_ImportApp, &RepoExplorer::ImportApp},
        {IDM_ExportAsPrg, &RepoExplorer::ExportAsPrg},   {IDM_ImportAsPrg, &RepoExplorer::ImportAsPrg},
        {IDM_SaveReg, &RepoExplorer::SaveReg},           {IDM_ExportPath, &RepoExplorer::ExportPath},
        {IDM_DeletePrj, &RepoExplorer::DeletePrj},       {IDM_ImportMef, &RepoExplorer::ImportMef},
        {IDM_ExportMef, &RepoExplorer::ExportMef},       {IDM_CompareFile, &RepoExplorer::CompareWithFile},
    };
    for (const auto& [id, method] : operations) {
        connect(m_menuItems[id], &QAction::triggered, this, method);
        m_menuItems[id]->setEnabled(true);
    }
    // The folder and "Abort On Error" are asked for when none is given.
    connect(m_menuItems[IDM_ExportPrj], &QAction::triggered, this, [this] { ExportPrj(); });
    m_menuItems[IDM_ExportPrj]->setEnabled(true);
}

QAction* RepoExplorer::MenuItem(int id) const {
    auto found = m_menuItems.find(id);
    return found == m_menuItems.end() ? nullptr : found->second;
}

void RepoExplorer::BuildExplorer(bool sizePane) {
    BuildConfig();
    BuildList();
    BuildTree(sizePane);
    if (QTreeWidgetItem* current = FindNode(m_repository->CurrentProjectName())) {
        SelectNode(current);
        ExpandItem(current);
        current->setExpanded(true);
    }
    statusBar()->setEnabled(true);
    statusBar()->show();
}

void RepoExplorer::BuildConfig() {
    m_entityFilter = KivGetEntSymTypes();
}

void RepoExplorer::BuildList() {
    auto* list = new QTreeWidget;
    list->setObjectName(QStringLiteral("ListWindow"));
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setIconSize(QSize(16, 16));
    list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Creation Time"),
                           QStringLiteral("Last Build")});
    const int charWidth = list->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    list->header()->setStretchLastSection(false);
    list->setColumnWidth(0, 18 * charWidth);
    list->setColumnWidth(2, 18 * charWidth);
    list->setColumnWidth(3, 18 * charWidth);
    list->installEventFilter(this);
    connect(list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* row, int) { ListViewMouseButtonDoubleClick(row); });
    connect(list, &QTreeWidget::itemSelectionChanged, this, &RepoExplorer::ShowSelectionSource);

    QTreeWidget* old = m_list;
    m_list = list;
    m_rows.clear();
    if (old) {
        m_right->replaceWidget(m_right->indexOf(old), list);
        old->deleteLater();
    } else {
        m_right->insertWidget(0, list);
        m_right->setSizes({1, 1});
    }
}

void RepoExplorer::BuildTree(bool sizePane) {
    m_building = true;
    auto* tree = new QTreeWidget;
    tree->setObjectName(QStringLiteral("TreeWindow"));
    tree->setHeaderHidden(true);
    tree->setIconSize(QSize(16, 16));
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setUniformRowHeights(true);
    connect(tree, &QTreeWidget::itemSelectionChanged, this, &RepoExplorer::TreeViewSelectionChanged);
    connect(tree, &QTreeWidget::itemExpanded, this, &RepoExplorer::TreeViewItemExpanding);

    QTreeWidget* old = m_tree;
    m_tree = tree;
    m_nodes.clear();
    m_keys.clear();

    NodeRecord rootRecord;
    rootRecord.loaded = true;
    QTreeWidgetItem* root = AddNode(nullptr, "Visual Objects", "ExplMaster", kIconVO, rootRecord, false);
    QFont bold = root->font(0);
    bold.setBold(true);
    root->setFont(0, bold);
    for (const std::string& name : m_repository->ProjectNameList()) {
        NodeRecord record;
        record.kind = KindProject();
        AddNode(root, name, name, kIconPrj, record, true);
    }
    AddFileNodes();

    if (old) {
        m_split->replaceWidget(m_split->indexOf(old), tree);
        old->deleteLater();
    } else {
        m_split->insertWidget(0, tree);
    }
    if (sizePane) {
        const int total = std::max(m_split->width(), width());
        m_split->setSizes({total / 3, total - total / 3});
    }

    tree->setFocus();
    m_building = false;
    SelectNode(root);
    tree->scrollToItem(root, QAbstractItemView::PositionAtTop);
    root->setExpanded(true);
    ClearList();
    UpdateList(root);
}

QTreeWidgetItem* RepoExplorer::AddNode(QTreeWidgetItem* parent, const std::string& text,
                                       const std::string& key, int icon, NodeRecord record,
                                       bool withPlaceholder) {
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    node->setText(0, KivFromAnsi(text));
    node->setIcon(0, ImageList(icon));
    node->setData(0, kKeyRole, KivFromAnsi(key));
    m_nodes.emplace(node, std::move(record));
    m_keys[KivSymbol(key).Id()] = node;
    if (withPlaceholder)
        AddPlaceholder(node);
    return node;
}

void RepoExplorer::AddPlaceholder(QTreeWidgetItem* node) {
    auto* dummy = new QTreeWidgetItem(node);
    dummy->setText(0, QLatin1String(kDummyText));
    const std::string key = KivToAnsi(node->data(0, kKeyRole).toString()) + kDummySuffix;
    dummy->setData(0, kKeyRole, KivFromAnsi(key));
    m_keys[KivSymbol(key).Id()] = dummy;
}

QTreeWidgetItem* RepoExplorer::FindNode(const std::string& key) const {
    const KivSymbol symbol(key);
    if (symbol.IsNull())
        return nullptr;
    auto found = m_keys.find(symbol.Id());
    return found == m_keys.end() ? nullptr : found->second;
}

const RepoExplorer::NodeRecord* RepoExplorer::Record(const QTreeWidgetItem* node) const {
    auto found = m_nodes.find(node);
    return found == m_nodes.end() ? nullptr : &found->second;
}

const RepoExplorer::RowRecord* RepoExplorer::Row(int index) const {
    return index >= 0 && index < static_cast<int>(m_rows.size()) ? &m_rows[static_cast<size_t>(index)]
                                                                 : nullptr;
}

void RepoExplorer::SelectNode(QTreeWidgetItem* node) {
    if (!node)
        return;
    m_tree->setCurrentItem(node);
    m_tree->scrollToItem(node);
}

void RepoExplorer::ExpandItem(QTreeWidgetItem* node) {
    auto found = m_nodes.find(node);
    if (found == m_nodes.end() || found->second.loaded)
        return;
    NodeRecord& record = found->second;
    if (record.kind != KindProject() && record.kind != KindApplication())
        return;

    const std::string key = KivToAnsi(node->data(0, kKeyRole).toString());
    if (QTreeWidgetItem* dummy = FindNode(key + kDummySuffix); dummy && dummy->parent() == node) {
        m_keys.erase(KivSymbol(key + kDummySuffix).Id());
        delete dummy;
    }
    // The record is marked first, so that a failure below cannot make the next expansion add the
    // children a second time.
    record.loaded = true;

    if (record.kind == KindProject()) {
        const std::string project = KivToAnsi(node->text(0));
        auto prj = std::make_shared<KivVOProject>(project);
        prj->Selected(true);
        record.object = prj;
        for (const auto& app : prj->ApplicationList()) {
            NodeRecord child;
            child.kind = KindApplication();
            child.project = project;
            child.appId = app->ID();
            const bool hasModules = app->ModuleCount() > 0;
            AddNode(node, app->Name(), AppKey(project, child.appId), ApplicationKind(*app).first,
                    std::move(child), hasModules);
        }
        return;
    }

    const std::string project = record.project;
    const uint16_t appId = record.appId;
    auto app = std::make_shared<KivVOApplication>(project, appId);
    record.object = app;
    for (const auto& entry : app->ModuleList()) {
        auto module = std::static_pointer_cast<KivVOModule>(entry);
        if (!module->IsVisible())
            continue;
        NodeRecord child;
        child.kind = KindModule();
        child.project = project;
        child.appId = appId;
        child.modId = module->ID();
        const int icon = module->IsExternal() ? kIconExternal : kIconMEF;
        AddNode(node, module->Name(), ModuleKey(project, appId, child.modId), icon, std::move(child), false);
    }
}

void RepoExplorer::ClearList() {
    // The pane follows the list once it is filled again, not each row going.
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    m_rows.clear();
}

void RepoExplorer::AddRow(const std::string& name, const std::string& type, const std::string& created,
                          const std::string& built, int icon, RowRecord record) {
    auto* row = new QTreeWidgetItem(
        QStringList{KivFromAnsi(name), KivFromAnsi(type), KivFromAnsi(created), KivFromAnsi(built)});
    row->setIcon(0, ImageList(icon));
    m_pendingRows.append(row);
    m_rows.push_back(std::move(record));
}

void RepoExplorer::UpdateList(QTreeWidgetItem* node) {
    const NodeRecord* record = Record(node);
    if (!record)
        return;
    // Rows are added with updates off: a module can hold thousands of entities.
    m_list->setUpdatesEnabled(false);
    if (UpdateFileList(node, *record)) {
        // The rows of an opened export file.
    } else if (record->kind.IsNull()) {
        for (const std::string& name : m_repository->ProjectNameList())
            AddRow(name, "Project", {}, {}, kIconPrj, {KindProject(), {}, 0, 0, 0});
    } else if (record->kind == KindProject()) {
        const std::string project = KivToAnsi(node->text(0));
        auto prj = std::make_shared<KivVOProject>(project);
        prj->Selected(true);
        for (const auto& app : prj->ApplicationList()) {
            const auto [icon, type] = ApplicationKind(*app);
            AddRow(app->Name(), type, Created(*app), LastBuild(*app), icon,
                   {KindApplication(), project, app->ID(), 0, 0});
        }
    } else if (record->kind == KindApplication()) {
        auto app = std::make_shared<KivVOApplication>(record->project, record->appId);
        for (const auto& entry : app->ModuleList()) {
            auto module = std::static_pointer_cast<KivVOModule>(entry);
            if (!module->IsVisible())
                continue;
            const bool external = module->IsExternal();
            AddRow(module->Name(), external ? "External Module" : "Module", Created(*module),
                   LastBuild(*module), external ? kIconExternal : kIconMEF,
                   {KindModule(), record->project, record->appId, module->ID(), 0});
        }
    } else if (record->kind == KindModule()) {
        auto app = std::make_shared<KivVOApplication>(record->project, record->appId);
        auto module = std::make_shared<KivVOModule>(app, record->modId);
        for (const auto& entry : module->EntityList()) {
            auto entity = std::static_pointer_cast<KivVOEntity>(entry);
            auto row = KivEntityRow(*entity, m_entityFilter);
            if (!row)
                continue;
            AddRow(row->name, row->type, Created(*entity), LastBuild(*entity), kIconCode,
                   {KindEntity(), record->project, record->appId, record->modId, entity->ID(), nullptr});
        }
    }
    // Inserted in one go: the view then lays out once instead of once per row.
    m_list->addTopLevelItems(m_pendingRows);
    m_pendingRows.clear();
    ListFilled(node);
    m_list->setUpdatesEnabled(true);
}

std::string RepoExplorer::NodeKey(const std::string& project, uint16_t appId, uint32_t modId) {
    return modId == 0 ? AppKey(project, appId) : ModuleKey(project, appId, modId);
}

std::string RepoExplorer::MomentText(const KivDate& date, const std::string& time) {
    return DateText(date) + " " + time;
}

void RepoExplorer::TreeViewSelectionChanged() {
    if (m_building)
        return;
    ClearList();
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    if (!selected.isEmpty())
        UpdateList(selected.front());
    ShowSelectionSource();
}

void RepoExplorer::TreeViewItemExpanding(QTreeWidgetItem* node) {
    ExpandItem(node);
}

std::shared_ptr<KivVOApplication> RepoExplorer::Application() const {
    const QList<QTreeWidgetItem*> selected = m_tree ? m_tree->selectedItems() : QList<QTreeWidgetItem*>{};
    const NodeRecord* record = selected.isEmpty() ? nullptr : Record(selected.front());
    if (record && (record->kind == KindApplication() || record->kind == KindModule()))
        return std::make_shared<KivVOApplication>(record->project, record->appId);
    return std::make_shared<KivVOApplication>();
}

std::shared_ptr<KivVOModule> RepoExplorer::Module() const {
    const QList<QTreeWidgetItem*> selected = m_tree ? m_tree->selectedItems() : QList<QTreeWidgetItem*>{};
    const NodeRecord* record = selected.isEmpty() ? nullptr : Record(selected.front());
    if (record && record->kind == KindModule())
        return std::make_shared<KivVOModule>(
            std::make_shared<KivVOApplication>(record->project, record->appId), record->modId);
    return std::make_shared<KivVOModule>();
}

std::vector<int> RepoExplorer::GetSelectedEntitiesIndex() const {
    std::vector<int> indices;
    if (!m_list)
        return indices;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        indices.push_back(index.row());
    std::sort(indices.begin(), indices.end());
    return indices;
}

std::vector<RepoExplorer::RowRecord> RepoExplorer::GetSelectedEntitiesID() const {
    std::vector<RowRecord> records;
    for (int index : GetSelectedEntitiesIndex())
        if (const RowRecord* row = Row(index))
            records.push_back(*row);
    return records;
}

void RepoExplorer::EditEntity(const std::string& prjName, uint16_t appId, uint32_t moduleId,
                              uint32_t entityId, const std::optional<std::string>& text,
                              const std::string& caption) {
    SourceDlg viewer(this);
    if (text) {
        viewer.Caption(caption);
        viewer.Text(*text);
    } else {
        auto app = std::make_shared<KivVOApplication>(prjName, appId);
        auto module = std::make_shared<KivVOModule>(app, moduleId);
        KivVOEntity entity(module, entityId);
        viewer.Caption(module->Name());
        viewer.Text(entity.Source());
    }
    viewer.exec();
}

void RepoExplorer::ListViewMouseButtonDoubleClick(QTreeWidgetItem* row) {
    if (row)
        OpenRow(m_list->indexOfTopLevelItem(row));
}

void RepoExplorer::OpenRow(int index) {
    const RowRecord* found = Row(index);
    if (!found)
        return;
    const RowRecord row = *found; // the list may be refilled below
    if (row.kind == KindEntity()) {
        EditEntity(row.project, row.appId, row.modId, row.entId);
        return;
    }
    if (row.fileEntity) {
        EditEntity({}, 0, 0, 0, row.fileEntity->Source(),
                   KivToAnsi(m_tree->currentItem() ? m_tree->currentItem()->text(0) : QString()));
        return;
    }
    if (row.kind == KindProject()) {
        SelectNode(FindNode(KivToAnsi(m_list->topLevelItem(index)->text(0))));
        return;
    }
    if (row.kind == FileModuleKind()) {
        SelectNode(FindNode(row.project));
        return;
    }
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    if (selected.isEmpty())
        return;
    ExpandItem(selected.front());
    selected.front()->setExpanded(true);
    std::string key = row.project + Digits10(row.appId);
    if (row.kind == KindModule())
        key += Digits10(row.modId);
    SelectNode(FindNode(key));
}

void RepoExplorer::ListViewKeyDown(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    const std::vector<int> indices = GetSelectedEntitiesIndex();
    if (indices.empty())
        return;
    const RowRecord first = *Row(indices.front());
    if (first.kind != KindEntity() && !first.fileEntity)
        return;
    if (indices.size() == 1) {
        OpenRow(indices.front());
        return;
    }
    // The rows are of one module: the repository's, or one of an opened file.
    std::shared_ptr<KivVOModule> module;
    std::string caption;
    if (first.fileEntity) {
        caption = KivToAnsi(m_tree->currentItem() ? m_tree->currentItem()->text(0) : QString());
    } else {
        module = std::make_shared<KivVOModule>(std::make_shared<KivVOApplication>(first.project, first.appId),
                                               first.modId);
        caption = module->Name();
    }
    std::string sources;
    for (int index : indices) {
        const RowRecord* row = Row(index);
        if (row->fileEntity)
            sources += row->fileEntity->Source();
        else if (row->kind == KindEntity())
            sources += KivVOEntity(module, row->entId).Source();
    }
    EditEntity(first.project, first.appId, first.modId, 0, sources, caption);
}

bool RepoExplorer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ListViewKeyDown(key);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void RepoExplorer::ListLib() {
    auto app = Application();
    if (!app->IsValid())
        return;
    AppInfoDlg info(this);
    for (const auto& library : app->LibraryList())
        info.AddLibrary(library->Name());
    info.exec();
}

void RepoExplorer::AEFExit() {
    close();
}

void RepoExplorer::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted() && m_isValid)
        QCoreApplication::quit();
}
