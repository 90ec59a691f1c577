// Finding in the repository: an entity by a part of its name, and lines in the sources.
#include "explorer/RepoExplorer.h"

#include "explorer/KivAnsi.h"
#include "explorer/SourcePane.h"
#include "explorer/dialogs/FindEntityDlg.h"
#include "explorer/dialogs/FindSourcesDlg.h"
#include "explorer/dialogs/SearchProgress.h"
#include "explorer/search/KivEntityCatalogue.h"
#include "explorer/search/KivSourceSearch.h"
#include "repository/KivVORepository.h"
#include "support/KivPrompt.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// More lines than anyone reads in a list; the search stops there and says so.
constexpr size_t kMaxLines = 10000;

constexpr int kEntityRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void RepoExplorer::ConnectBrowsing() {
    QAction* find = m_menuItems[IDM_FindEntity];
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    connect(find, &QAction::triggered, this, [this] { FindEntity(); });
    QAction* sources = m_menuItems[IDM_FindInSources];
    sources->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(sources, &QAction::triggered, this, [this] { FindInSources(); });
    connect(m_menuItems[IDM_OpenExportFile], &QAction::triggered, this, [this] { OpenExportFile(); });
    for (QAction* action : {find, sources})
        action->setShortcutContext(Qt::WindowShortcut);
    BuildSearchResults();
}

void RepoExplorer::FindEntity(const std::string& typed) {
    KivEntityCatalogue catalogue;
    {
        WaitCursor wait;
        catalogue.Build(*m_repository, {});
    }
    FindEntityDlg find(catalogue, this);
    find.FindText()->setText(KivFromAnsi(typed));
    if (find.exec() == QDialog::Accepted && find.Chosen() >= 0)
        ShowEntity(catalogue.Entities()[static_cast<size_t>(find.Chosen())]);
}

bool RepoExplorer::ShowEntity(const KivEntityRef& entity, int line) {
    QTreeWidgetItem* node = FindNode(entity.project);
    for (const std::string& key :
         {NodeKey(entity.project, entity.appId), NodeKey(entity.project, entity.appId, entity.modId)}) {
        if (!node)
            return false;
        ExpandItem(node);
        node->setExpanded(true);
        node = FindNode(key);
    }
    if (!node)
        return false;
    SelectNode(node);
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        if (m_rows[static_cast<size_t>(i)].entId != entity.entId || m_rows[static_cast<size_t>(i)].fileEntity)
            continue;
        QTreeWidgetItem* row = m_list->topLevelItem(i);
        m_list->clearSelection();
        m_list->setCurrentItem(row);
        m_list->scrollToItem(row);
        if (line > 0)
            m_pane->MarkLine(line);
        return true;
    }
    return false;
}

void RepoExplorer::BuildSearchResults() {
    auto* dock = new QDockWidget(QStringLiteral("Search Results"), this);
    dock->setObjectName(QStringLiteral("SearchDock"));
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    auto* body = new QWidget(dock);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    m_resultsSummary = new QLabel(body);
    m_resultsSummary->setObjectName(QStringLiteral("SearchSummary"));
    m_results = new QTreeWidget(body);
    m_results->setObjectName(QStringLiteral("SearchResults"));
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    m_results->setAllColumnsShowFocus(true);
    m_results->setHeaderLabels({QStringLiteral("Entity"), QStringLiteral("Line"), QStringLiteral("Text")});
    m_results->header()->setStretchLastSection(true);
    layout->addWidget(m_resultsSummary);
    layout->addWidget(m_results, 1);
    dock->setWidget(body);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    connect(m_results, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* row, int) { OpenSearchResult(row); });
}

bool RepoExplorer::FindInSources(const std::optional<std::string>& pattern, bool regex, bool allProjects) {
    std::string wanted;
    if (pattern) {
        wanted = *pattern;
    } else {
        FindSourcesDlg ask(this);
        if (ask.exec() != QDialog::Accepted)
            return false;
        wanted = ask.Pattern();
        regex = ask.Regex();
        allProjects = ask.AllProjects();
    }
    const KivTextMatcher matcher(wanted, regex);
    if (!matcher.IsValid()) {
        KivPrompt().MessageBox(matcher.Error(), "Find in Sources", KivBox::Ok | KivBox::IconStop);
        return false;
    }
    const std::string project = allProjects ? std::string() : m_repository->CurrentProjectName();

    std::vector<KivLineHit> hits;
    KivEntityCatalogue catalogue;
    KivSearchEnd end = KivSearchEnd::Done;
    {
        SearchProgress progress(this);
        progress.SetCaption("Searching for " + wanted);
        progress.SetLabel(0, "Module :");
        end = KivFindInSources(
            *m_repository, project, matcher, progress,
            [&hits](const KivLineHit& hit) {
                hits.push_back(hit);
                return hits.size() < kMaxLines;
            },
            catalogue);
    }
    m_searched = catalogue.Entities();

    m_results->setUpdatesEnabled(false);
    m_results->clear();
    QList<QTreeWidgetItem*> rows;
    size_t entities = 0;
    for (size_t i = 0; i < hits.size(); ++i) {
        const KivLineHit& hit = hits[i];
        if (i == 0 || hits[i - 1].entity != hit.entity)
            ++entities;
        const KivEntityRef& entity = m_searched[hit.entity];
        QString where = KivFromAnsi(entity.project + " / " + entity.application + " / " + entity.module +
                                    " / " + entity.name);
        QString text = KivFromAnsi(hit.text);
        auto* row = new QTreeWidgetItem(QStringList{where, QString::number(hit.line), text.trimmed()});
        row->setData(0, kEntityRole, static_cast<qulonglong>(hit.entity));
        row->setData(0, kLineRole, hit.line);
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        rows.append(row);
    }
    m_results->addTopLevelItems(rows);
    m_results->resizeColumnToContents(0);
    m_results->resizeColumnToContents(1);
    m_results->setUpdatesEnabled(true);

    QString summary = QStringLiteral("\"%1\": %2 lines in %3 entities")
                          .arg(KivFromAnsi(wanted))
                          .arg(hits.size())
                          .arg(entities);
    if (end == KivSearchEnd::Cancelled)
        summary += QStringLiteral(" (cancelled: the entities read before)");
    else if (end == KivSearchEnd::Stopped)
        summary += QStringLiteral(" (the first %1 lines only)").arg(kMaxLines);
    m_resultsSummary->setText(summary);
    if (auto* dock = findChild<QDockWidget*>(QStringLiteral("SearchDock")))
        dock->show();
    return true;
}

void RepoExplorer::OpenSearchResult(QTreeWidgetItem* row) {
    if (!row)
        return;
    const size_t index = static_cast<size_t>(row->data(0, kEntityRole).toULongLong());
    if (index < m_searched.size())
        ShowEntity(m_searched[index], row->data(0, kLineRole).toInt());
}
