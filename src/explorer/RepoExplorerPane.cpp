// The source pane and the status line: what follows the selection in the tree and the list.
#include "explorer/RepoExplorer.h"

#include "explorer/KivAnsi.h"
#include "explorer/SourcePane.h"
#include "exportfiles/KivEntityAbstract.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOModule.h"

#include <QLabel>
#include <QTreeWidget>

#include <algorithm>

void RepoExplorer::ListFilled(QTreeWidgetItem* node) {
    for (int column = 0; column < m_list->columnCount(); ++column)
        m_list->resizeColumnToContents(column);
    QStringList path;
    for (const QTreeWidgetItem* at = node; at; at = at->parent())
        path.prepend(at->text(0));
    const int rows = m_list->topLevelItemCount();
    QString text = path.join(QStringLiteral(" / ")) +
                   (rows == 1 ? QStringLiteral("  (1 row)") : QStringLiteral("  (%1 rows)").arg(rows));
    if (!node->toolTip(0).isEmpty())
        text += QStringLiteral("  ") + node->toolTip(0);
    m_status->setText(text);
}

void RepoExplorer::ShowSelectionSource() {
    const QList<QTreeWidgetItem*> nodes = m_tree ? m_tree->selectedItems() : QList<QTreeWidgetItem*>{};
    const NodeRecord* node = nodes.isEmpty() ? nullptr : Record(nodes.front());
    // The row the cursor is on when it is selected, otherwise the first selected row.
    const std::vector<int> rows = GetSelectedEntitiesIndex();
    int index = rows.empty() ? -1 : rows.front();
    if (QTreeWidgetItem* current = m_list->currentItem(); current && current->isSelected())
        index = m_list->indexOfTopLevelItem(current);
    const RowRecord* row = Row(index);
    const QTreeWidgetItem* shown = row ? m_list->topLevelItem(index) : nodes.value(0);
    if (row && row->entId != 0) {
        m_pane->Show(KivToAnsi(shown->text(0)), RowSource(*row));
    } else if (auto source = FileSource(node, row)) {
        m_pane->Show(KivToAnsi(shown->text(0)), *source);
    } else if (node && node->modId != 0) {
        auto module = Module();
        m_pane->Show(module->Name(), module->ExternalSource());
    } else {
        m_pane->Clear();
    }
}

std::string RepoExplorer::RowSource(const RowRecord& row) const {
    if (row.fileEntity)
        return row.fileEntity->Source();
    auto module =
        std::make_shared<KivVOModule>(std::make_shared<KivVOApplication>(row.project, row.appId), row.modId);
    return KivVOEntity(module, row.entId).Source();
}
