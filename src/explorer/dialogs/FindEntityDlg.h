#pragma once

#include <QDialog>

class KivEntityCatalogue;
class QLineEdit;
class QTreeWidget;

// Finds an entity by a part of its name: the list below the text shows the best matches across
// the catalogue as one types. Return or a double-click chooses the selected match (the first when
// none is selected); the arrow keys move through the matches without leaving the text.
class FindEntityDlg final : public QDialog {
    Q_OBJECT
public:
    FindEntityDlg(const KivEntityCatalogue& catalogue, QWidget* owner = nullptr);

    // The chosen entity's index in the catalogue; -1 when none was chosen.
    int Chosen() const { return m_chosen; }

    QLineEdit* FindText() const { return m_text; }
    QTreeWidget* Matches() const { return m_matches; }

    // How many matches the list shows at most.
    static constexpr size_t kShown = 200;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refill();
    void Choose();

    const KivEntityCatalogue& m_catalogue;
    QLineEdit* m_text;
    QTreeWidget* m_matches;
    int m_chosen = -1;
};
