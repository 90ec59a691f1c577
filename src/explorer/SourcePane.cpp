#include "explorer/SourcePane.h"

#include "explorer/KivAnsi.h"
#include "explorer/KivSourceHighlighter.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

namespace {

class NumberArea final : public QWidget {
public:
    explicit NumberArea(KivNumberedText* text) : QWidget(text), m_text(text) {}
    QSize sizeHint() const override { return {m_text->NumberWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { m_text->PaintNumbers(event); }

private:
    KivNumberedText* m_text;
};

} // namespace

KivNumberedText::KivNumberedText(QWidget* owner) : QPlainTextEdit(owner) {
    m_numbers = new NumberArea(this);
    connect(this, &QPlainTextEdit::blockCountChanged, this,
            [this] { setViewportMargins(NumberWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy != 0)
            m_numbers->scroll(0, dy);
        else
            m_numbers->update(0, rect.y(), m_numbers->width(), rect.height());
    });
    setViewportMargins(NumberWidth(), 0, 0, 0);
}

int KivNumberedText::NumberWidth() const {
    int digits = 1;
    for (int count = std::max(1, blockCount()); count >= 10; count /= 10)
        ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits);
}

void KivNumberedText::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    m_numbers->setGeometry(QRect(area.left(), area.top(), NumberWidth(), area.height()));
}

void KivNumberedText::PaintNumbers(QPaintEvent* event) {
    QPainter painter(m_numbers);
    painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
    if (document()->isEmpty())
        return;
    painter.setPen(palette().color(QPalette::PlaceholderText));
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    const int height = fontMetrics().height();
    while (block.isValid() && top <= event->rect().bottom()) {
        if (block.isVisible() && top + height >= event->rect().top())
            painter.drawText(0, top, m_numbers->width() - 4, height, Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
        top += qRound(blockBoundingRect(block).height());
        block = block.next();
    }
}

SourcePane::SourcePane(QWidget* owner) : QWidget(owner) {
    setObjectName(QStringLiteral("SourcePane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("SourceCaption"));
    m_caption->setTextFormat(Qt::PlainText);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("SourceFind"));
    m_find->setPlaceholderText(QStringLiteral("Find in this source (Return: next, Escape: close)"));
    m_find->setClearButtonEnabled(true);
    m_find->hide();
    m_text = new KivNumberedText(this);
    m_text->setObjectName(QStringLiteral("SourceText"));
    KivSourceView(m_text);
    m_highlighter = new KivSourceHighlighter(static_cast<QObject*>(this));
    m_colouring = new QTimer(this);
    connect(m_colouring, &QTimer::timeout, this, [this] {
        ColourUpTo(m_coloured + 500);
        if (m_coloured >= m_text->document()->blockCount())
            m_colouring->stop();
    });
    connect(m_text->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { ColourUpTo(-1); });
    layout->addWidget(m_caption);
    layout->addWidget(m_find);
    layout->addWidget(m_text, 1);

    m_text->installEventFilter(this);
    m_find->installEventFilter(this);
    connect(m_find, &QLineEdit::returnPressed, this, &SourcePane::FindNext);
    connect(m_find, &QLineEdit::textEdited, this, [this] {
        // Searching again from the start of the current find keeps the place while typing.
        QTextCursor cursor = m_text->textCursor();
        cursor.setPosition(cursor.selectionStart());
        m_text->setTextCursor(cursor);
        FindNext();
    });
}

void SourcePane::Show(const std::string& caption, const std::string& text) {
    m_caption->setText(KivFromAnsi(caption));
    // The CR of a CR LF line end would show as a box.
    QString shown = KivFromAnsi(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_text->setExtraSelections({});
    m_text->setPlainText(shown);
    m_coloured = 0;
    m_inComment = false;
    ColourUpTo(-1);
    if (m_coloured < m_text->document()->blockCount())
        m_colouring->start(0);
    else
        m_colouring->stop();
}

int SourcePane::ViewLines() const {
    return m_text->viewport()->height() / std::max(1, m_text->fontMetrics().height());
}

void SourcePane::ColourUpTo(int last) {
    QTextDocument* document = m_text->document();
    if (last < 0) {
        // A screen more than the view holds, so the first page is coloured when it is shown.
        last = m_text->FirstShownLine() + 2 * ViewLines() + 1;
    }
    last = std::min(last, document->blockCount() - 1);
    if (m_coloured > last)
        return;
    QTextBlock block = document->findBlockByNumber(m_coloured);
    const int from = block.position();
    int to = from;
    for (; block.isValid() && m_coloured <= last; block = block.next(), ++m_coloured) {
        m_inComment = m_highlighter->ColourBlock(block, m_inComment);
        to = block.position() + block.length();
    }
    // Blocks already laid out are laid out again with their colours.
    document->markContentsDirty(from, to - from);
}

std::string SourcePane::Caption() const {
    return KivToAnsi(m_caption->text());
}

void SourcePane::MarkLine(int line) {
    const QTextBlock block = m_text->document()->findBlockByNumber(line - 1);
    if (!block.isValid())
        return;
    // The line comes into the middle of the view: colour down to the view's end first.
    ColourUpTo(line + ViewLines());
    QTextCursor cursor(block);
    m_text->setTextCursor(cursor);
    QTextEdit::ExtraSelection mark;
    mark.format.setBackground(palette().color(QPalette::Highlight).lighter(170));
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    mark.cursor = cursor;
    m_text->setExtraSelections({mark});
    m_text->centerCursor();
}

bool SourcePane::FindNext() {
    const QString wanted = m_find->text();
    if (wanted.isEmpty())
        return false;
    if (m_text->find(wanted))
        return true;
    QTextCursor start = m_text->textCursor();
    start.movePosition(QTextCursor::Start);
    m_text->setTextCursor(start);
    return m_text->find(wanted);
}

void SourcePane::OpenFind() {
    m_find->show();
    m_find->setFocus();
    m_find->selectAll();
}

bool SourcePane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Find)) {
        OpenFind();
        return true;
    }
    if (watched == m_find && key->key() == Qt::Key_Escape) {
        m_find->hide();
        m_text->setFocus();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
