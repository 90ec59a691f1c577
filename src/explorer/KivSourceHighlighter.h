#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class QPlainTextEdit;
class QTextBlock;

// Colours the source of entities and PRG files: keywords (any case), strings in "" and '',
// comments (//, &&, * at the start of a line, /* */ across lines), numbers and #-directives.
// Given a document it colours all of it as it changes (the source viewer); made without one, it
// colours the blocks it is handed one by one (the source pane colours what comes into view).
class KivSourceHighlighter final : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit KivSourceHighlighter(QTextDocument* document);
    explicit KivSourceHighlighter(QObject* owner);

    // What each kind of token looks like (tests compare against these).
    const QTextCharFormat& KeywordFormat() const { return m_keyword; }
    const QTextCharFormat& StringFormat() const { return m_string; }
    const QTextCharFormat& CommentFormat() const { return m_comment; }
    const QTextCharFormat& NumberFormat() const { return m_number; }
    const QTextCharFormat& DirectiveFormat() const { return m_directive; }

    // True for a word of the language (FUNCTION, ENDIF, .T., .AND., ...), any case.
    static bool IsKeyword(QStringView word);
    static bool IsKeyword(const QString& word) { return IsKeyword(QStringView(word)); }

    // Sets the colours of one block of a document this highlighter is not installed on, given
    // whether the block before it ended inside a /* */ comment; returns whether this one does.
    bool ColourBlock(const QTextBlock& block, bool inComment) const;

protected:
    void highlightBlock(const QString& text) override;

private:
    void MakeFormats();

    QTextCharFormat m_keyword, m_string, m_comment, m_number, m_directive;
};

// Makes `text` show a source: read-only and selectable, without wrapping, in the fixed-pitch font
// with a tab every four columns.
void KivSourceView(QPlainTextEdit* text);
