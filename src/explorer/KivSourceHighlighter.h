#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class QPlainTextEdit;

// Colours the source of entities and PRG files: keywords (any case), strings in "" and '',
// comments (//, &&, * at the start of a line, /* */ across lines), numbers and #-directives.
class KivSourceHighlighter final : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit KivSourceHighlighter(QTextDocument* document);

    // What each kind of token looks like (tests compare against these).
    const QTextCharFormat& KeywordFormat() const { return m_keyword; }
    const QTextCharFormat& StringFormat() const { return m_string; }
    const QTextCharFormat& CommentFormat() const { return m_comment; }
    const QTextCharFormat& NumberFormat() const { return m_number; }
    const QTextCharFormat& DirectiveFormat() const { return m_directive; }

    // True for a word of the language (FUNCTION, ENDIF, .T., .AND., ...), any case.
    static bool IsKeyword(const QString& word);

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat m_keyword, m_string, m_comment, m_number, m_directive;
};

// Makes `text` show a source: read-only and selectable, without wrapping, in the fixed-pitch font
// with a tab every four columns, coloured by a highlighter it owns, which this returns.
KivSourceHighlighter* KivSourceView(QPlainTextEdit* text);
