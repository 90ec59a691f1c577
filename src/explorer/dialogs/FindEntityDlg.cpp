#include "explorer/dialogs/FindEntityDlg.h"

#include "explorer/KivAnsi.h"
#include "explorer/dialogs/KivNamed.h"
#include "explorer/search/KivEntityCatalogue.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

FindEntityDlg::FindEntityDlg(const KivEntityCatalogue& catalogue, QWidget* owner)
    : QDialog(owner), m_catalogue(catalogue) {
    setObjectName(QStringLiteral("FindEntityDlg"));
    setWindowTitle(QStringLiteral("Find Entity"));
    m_text = KivNamed(new QLineEdit(this), "oDCFindText");
    m_text->setPlaceholderText(QStringLiteral("Part of a name"));
    m_matches = KivNamed(new QTreeWidget(this), "oDCMatches");
    m_matches->setRootIsDecorated(false);
    m_matches->setUniformRowHeights(true);
    m_matches->setAllColumnsShowFocus(true);
    m_matches->setHeaderLabels({QStringLiteral("Entity"), QStringLiteral("Type"), QStringLiteral("Project"),
                                QStringLiteral("Application"), QStringLiteral("Module")});
    m_matches->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("&Name:"), this));
    static_cast<QLabel*>(layout->itemAt(0)->widget())->setBuddy(m_text);
    layout->addWidget(m_text);
    layout->addWidget(m_matches, 1);

    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textChanged, this, &FindEntityDlg::Refill);
    connect(m_text, &QLineEdit::returnPressed, this, &FindEntityDlg::Choose);
    connect(m_matches, &QTreeWidget::itemDoubleClicked, this, &FindEntityDlg::Choose);
    resize(720, 420);
}

void FindEntityDlg::Refill() {
    m_matches->setUpdatesEnabled(false);
    m_matches->clear();
    QList<QTreeWidgetItem*> rows;
    for (size_t index : m_catalogue.FindName(KivToAnsi(m_text->text()), kShown)) {
        const KivEntityRef& entity = m_catalogue.Entities()[index];
        auto* row = new QTreeWidgetItem(
            QStringList{KivFromAnsi(entity.name), KivFromAnsi(entity.type), KivFromAnsi(entity.project),
                        KivFromAnsi(entity.application), KivFromAnsi(entity.module)});
        row->setData(0, Qt::UserRole, static_cast<qulonglong>(index));
        rows.append(row);
    }
    m_matches->addTopLevelItems(rows);
    if (!rows.isEmpty())
        m_matches->setCurrentItem(rows.front());
    m_matches->setUpdatesEnabled(true);
}

void FindEntityDlg::Choose() {
    QTreeWidgetItem* row = m_matches->currentItem();
    if (!row && m_matches->topLevelItemCount() > 0)
        row = m_matches->topLevelItem(0);
    if (!row)
        return;
    m_chosen = static_cast<int>(row->data(0, Qt::UserRole).toULongLong());
    accept();
}

bool FindEntityDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_matches, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
