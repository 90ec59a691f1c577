#include "explorer/dialogs/CompareDlg.h"

#include "explorer/KivAnsi.h"
#include "explorer/dialogs/KivNamed.h"
#include "exportfiles/KivEntityAbstract.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QTextBlock>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Item data: the module's index, and the entity's (-1 on a module node).
constexpr int kModuleRole = Qt::UserRole;
constexpr int kEntityRole = Qt::UserRole + 1;

QString ChangeText(const KivEntityChange& entity) {
    if (entity.change != KivChange::Changed)
        return QLatin1String(KivChangeName(entity.change));
    QStringList parts;
    if (entity.prototype)
        parts << QStringLiteral("prototype");
    if (entity.source)
        parts << QStringLiteral("source");
    return QStringLiteral("changed (%1)").arg(parts.join(QStringLiteral(", ")));
}

QPlainTextEdit* SourcePane(const char* name, QWidget* owner) {
    auto* pane = KivNamed(new QPlainTextEdit(owner), name);
    pane->setReadOnly(true);
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pane->setTabStopDistance(4 * pane->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    return pane;
}

QWidget* Titled(const std::string& title, QPlainTextEdit* pane, QWidget* owner) {
    auto* box = new QWidget(owner);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(KivFromAnsi(title), box);
    label->setObjectName(pane->objectName() + QStringLiteral("Label"));
    layout->addWidget(label);
    layout->addWidget(pane);
    return box;
}

// Marks the lines of the pane that the other text does not hold.
void MarkLines(QPlainTextEdit* pane, const QSet<QString>& other, const QColor& colour) {
    QList<QTextEdit::ExtraSelection> marks;
    for (QTextBlock block = pane->document()->begin(); block.isValid(); block = block.next()) {
        if (other.contains(block.text()))
            continue;
        QTextEdit::ExtraSelection mark;
        mark.format.setBackground(colour);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        mark.cursor = QTextCursor(block);
        marks.append(mark);
    }
    pane->setExtraSelections(marks);
}

QSet<QString> LinesOf(const QString& text) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    return QSet<QString>(lines.begin(), lines.end());
}

QString SourceOf(const std::shared_ptr<KivEntityAbstract>& entity) {
    if (!entity)
        return {};
    QString text = KivFromAnsi(KivComparedSource(*entity));
    text.remove(QLatin1Char('\r'));
    return text;
}

} // namespace

CompareDlg::CompareDlg(std::vector<KivModuleChange> changes, const std::string& beforeLabel,
                       const std::string& afterLabel, QWidget* owner)
    : QDialog(owner), m_changes(std::move(changes)) {
    setObjectName(QStringLiteral("CompareDlg"));
    setWindowTitle(QStringLiteral("Compare"));

    m_tree = KivNamed(new QTreeWidget(this), "oDCChangeTree");
    m_tree->setHeaderLabels({QStringLiteral("Module / Entity"), QStringLiteral("Change")});
    for (size_t m = 0; m < m_changes.size(); ++m) {
        const KivModuleChange& module = m_changes[m];
        auto* node = new QTreeWidgetItem(m_tree, {KivFromAnsi(module.name), QLatin1String(KivChangeName(module.change))});
        node->setData(0, kModuleRole, static_cast<int>(m));
        node->setData(0, kEntityRole, -1);
        for (size_t e = 0; e < module.entities.size(); ++e) {
            auto* item = new QTreeWidgetItem(node, {KivFromAnsi(module.entities[e].name), ChangeText(module.entities[e])});
            item->setData(0, kModuleRole, static_cast<int>(m));
            item->setData(0, kEntityRole, static_cast<int>(e));
        }
    }
    m_tree->expandAll();
    m_tree->resizeColumnToContents(0);
    m_tree->resizeColumnToContents(1);
    m_tree->setMinimumWidth(m_tree->columnWidth(0) + m_tree->columnWidth(1) + 24);

    m_old = SourcePane("oDCOldSource", this);
    m_new = SourcePane("oDCNewSource", this);
    auto* sources = new QSplitter(Qt::Horizontal, this);
    sources->addWidget(Titled(beforeLabel, m_old, sources));
    sources->addWidget(Titled(afterLabel, m_new, sources));
    auto* split = KivNamed(new QSplitter(Qt::Horizontal, this), "oDCCompareSplit");
    split->addWidget(m_tree);
    split->addWidget(sources);
    split->setStretchFactor(1, 1);

    m_close = KivNamed(new QPushButton(QStringLiteral("&Close"), this), "oCCClosePB");
    m_close->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    resize(960, 560);

    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item, QTreeWidgetItem*) { Show(item); });
}

bool CompareDlg::SelectEntity(const std::string& module, const std::string& entity) {
    for (int m = 0; m < m_tree->topLevelItemCount(); ++m) {
        QTreeWidgetItem* node = m_tree->topLevelItem(m);
        if (node->text(0) != KivFromAnsi(module))
            continue;
        for (int e = 0; e < node->childCount(); ++e) {
            if (node->child(e)->text(0) == KivFromAnsi(entity)) {
                m_tree->setCurrentItem(node->child(e));
                return true;
            }
        }
    }
    return false;
}

void CompareDlg::Show(const QTreeWidgetItem* item) {
    m_old->clear();
    m_new->clear();
    if (!item || item->data(0, kEntityRole).toInt() < 0)
        return;
    const KivModuleChange& module = m_changes[static_cast<size_t>(item->data(0, kModuleRole).toInt())];
    const KivEntityChange& entity = module.entities[static_cast<size_t>(item->data(0, kEntityRole).toInt())];
    const QString before = SourceOf(entity.before);
    const QString after = SourceOf(entity.after);
    m_old->setPlainText(before);
    m_new->setPlainText(after);
    MarkLines(m_old, LinesOf(after), QColor(255, 220, 220));
    MarkLines(m_new, LinesOf(before), QColor(215, 245, 215));
}
