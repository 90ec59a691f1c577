#pragma once

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QWidget>

#include <string>

class KivSourceHighlighter;
class QLabel;
class QLineEdit;
class QTimer;

// The source text of the pane: read-only, fixed pitch, line numbers in a margin on the left.
class KivNumberedText final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit KivNumberedText(QWidget* owner = nullptr);
    int NumberWidth() const;
    void PaintNumbers(QPaintEvent* event);
    int FirstShownLine() const { return firstVisibleBlock().blockNumber(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* m_numbers;
};

// The source pane below the explorer's list: the source of the selected entity or module, coloured
// like the source viewer's, with line numbers; Ctrl+F opens a find line above the text (Return
// finds the next place, Escape closes it). Texts are Windows-1252 bytes with CR LF line ends.
class SourcePane final : public QWidget {
    Q_OBJECT
public:
    explicit SourcePane(QWidget* owner = nullptr);

    // Shows a text with a caption above it; an empty caption and text clear the pane.
    void Show(const std::string& caption, const std::string& text);
    void Clear() { Show({}, {}); }
    // Puts the cursor on the line (counted from 1), marks it and scrolls it into the middle.
    void MarkLine(int line);
    // Finds the next place of the find line's text after the cursor, wrapping at the end; false
    // when the text holds it nowhere.
    bool FindNext();

    std::string Caption() const;
    QPlainTextEdit* Text() const { return m_text; }
    QLineEdit* FindLine() const { return m_find; }

protected:
    // Ctrl+F in the text or the find line opens the find line; Escape in it closes it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OpenFind();
    // Colours the blocks from the first not yet coloured up to the block numbered last, or up to
    // the end of the view when last is -1.
    void ColourUpTo(int last);
    // How many lines the view shows.
    int ViewLines() const;


    QLabel* m_caption;
    QLineEdit* m_find;
    KivNumberedText* m_text;
    KivSourceHighlighter* m_highlighter;
    // The text is coloured as it comes into view and, in the background, on to its end: the
    // next block to colour and whether the one before it ended inside a comment.
    QTimer* m_colouring;
    int m_coloured = 0;
    bool m_inComment = false;
};
