#pragma once

#include "explorer/transfer/KivModuleCompare.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Shows a comparison: the changed modules with their added, removed and changed entities as a
// tree on the left; for the selected entity its two sources side by side, the lines only one
// side has marked. Texts are Windows-1252 bytes.
class CompareDlg final : public QDialog {
    Q_OBJECT
public:
    CompareDlg(std::vector<KivModuleChange> changes, const std::string& beforeLabel,
               const std::string& afterLabel, QWidget* owner = nullptr);

    // Selects the entity of that name in the module of that name and shows its sources; false
    // when the tree has no such entity.
    bool SelectEntity(const std::string& module, const std::string& entity);

    QTreeWidget* oDCChangeTree() const { return m_tree; }
    QPlainTextEdit* oDCOldSource() const { return m_old; }
    QPlainTextEdit* oDCNewSource() const { return m_new; }
    QPushButton* oCCClosePB() const { return m_close; }

private:
    void Show(const QTreeWidgetItem* item);

    std::vector<KivModuleChange> m_changes;
    QTreeWidget* m_tree;
    QPlainTextEdit* m_old;
    QPlainTextEdit* m_new;
    QPushButton* m_close;
};
