#include "explorer/KivSourceHighlighter.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QSet>

namespace {

enum BlockState { Normal = 0, InBlockComment = 1 };

const QSet<QString>& Keywords() {
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char* word :
             {"ACCESS",    "ARRAY",    "AS",        "ASSIGN",     "BEGIN",     "BREAK",   "BYTE",
              "CASE",      "CLASS",    "CLIPPER",   "CODEBLOCK",  "DATE",      "DECLARE", "DEFINE",
              "DIM",       "DLL",      "DO",        "DOWNTO",     "DWORD",     "ELSE",    "ELSEIF",
              "END",       "ENDCASE",  "ENDDO",     "ENDIF",      "EXIT",      "EXPORT",  "FALSE",
              "FIELD",     "FLOAT",    "FOR",       "FUNCTION",   "GLOBAL",    "HIDDEN",  "IF",
              "IIF",       "IN",       "INHERIT",   "INSTANCE",   "INT",       "IS",      "LOCAL",
              "LOGIC",     "LONG",     "LOOP",      "MEMBER",     "MEMVAR",    "METHOD",  "NEXT",
              "NIL",       "OBJECT",   "OTHERWISE", "PARAMETERS", "PASCAL",    "PRIVATE", "PROCEDURE",
              "PROTECT",   "PSZ",      "PTR",       "PUBLIC",     "REAL4",     "REAL8",   "RECOVER",
              "REF",       "RESOURCE", "RETURN",    "SELF",       "SEQUENCE",  "SHORT",   "SHORTINT",
              "STATIC",    "STEP",     "STRICT",    "STRING",     "STRUCTURE", "SUPER",   "SYMBOL",
              "TEXTBLOCK", "TO",       "TRUE",      "UNION",      "UPTO",      "USING",   "USUAL",
              "VOID",      "WHILE",    "WORD",      "_DLL",       "_INIT1",    "_INIT2",  "_INIT3",
              "_WINCALL",  ".T.",      ".F.",       ".Y.",        ".N.",       ".AND.",   ".OR.",
              ".NOT."})
            set.insert(QString::fromLatin1(word));
        return set;
    }();
    return words;
}

bool IsWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

KivSourceHighlighter::KivSourceHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    m_keyword.setForeground(QColor(0x1b, 0x4f, 0xb8));
    m_keyword.setFontWeight(QFont::Bold);
    m_string.setForeground(QColor(0xa3, 0x3a, 0x17));
    m_comment.setForeground(QColor(0x2b, 0x7a, 0x34));
    m_comment.setFontItalic(true);
    m_number.setForeground(QColor(0x8a, 0x2b, 0x9e));
    m_directive.setForeground(QColor(0x6b, 0x55, 0x00));
}

bool KivSourceHighlighter::IsKeyword(const QString& word) {
    return Keywords().contains(word.toUpper());
}

void KivSourceHighlighter::highlightBlock(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    if (previousBlockState() == InBlockComment) {
        qsizetype end = text.indexOf(QLatin1String("*/"));
        if (end < 0) {
            setFormat(0, static_cast<int>(n), m_comment);
            setCurrentBlockState(InBlockComment);
            return;
        }
        setFormat(0, static_cast<int>(end + 2), m_comment);
        i = end + 2;
    }
    setCurrentBlockState(Normal);

    // A "*" or a "#" as the first thing on a line starts a comment line or a directive.
    qsizetype first = 0;
    while (first < n && text.at(first).isSpace())
        ++first;
    if (i == 0 && first < n && text.at(first) == QLatin1Char('*') &&
        !(first + 1 < n && text.at(first + 1) == QLatin1Char('/'))) {
        setFormat(static_cast<int>(first), static_cast<int>(n - first), m_comment);
        return;
    }
    if (i == 0 && first < n && text.at(first) == QLatin1Char('#')) {
        qsizetype end = first + 1;
        while (end < n && IsWordChar(text.at(end)))
            ++end;
        setFormat(static_cast<int>(first), static_cast<int>(end - first), m_directive);
        i = end;
    }

    while (i < n) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < n ? text.at(i + 1) : QChar();
        if ((c == QLatin1Char('/') && next == QLatin1Char('/')) ||
            (c == QLatin1Char('&') && next == QLatin1Char('&'))) {
            setFormat(static_cast<int>(i), static_cast<int>(n - i), m_comment);
            return;
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0) {
                setFormat(static_cast<int>(i), static_cast<int>(n - i), m_comment);
                setCurrentBlockState(InBlockComment);
                return;
            }
            setFormat(static_cast<int>(i), static_cast<int>(end + 2 - i), m_comment);
            i = end + 2;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            qsizetype end = text.indexOf(c, i + 1);
            end = end < 0 ? n : end + 1; // an unclosed string runs to the end of the line
            setFormat(static_cast<int>(i), static_cast<int>(end - i), m_string);
            i = end;
            continue;
        }
        if (c == QLatin1Char('.')) {
            qsizetype end = i + 1;
            while (end < n && text.at(end).isLetter())
                ++end;
            if (end < n && end > i + 1 && text.at(end) == QLatin1Char('.') &&
                IsKeyword(text.mid(i, end + 1 - i))) {
                setFormat(static_cast<int>(i), static_cast<int>(end + 1 - i), m_keyword);
                i = end + 1;
                continue;
            }
        }
        if (IsWordStart(c)) {
            qsizetype end = i + 1;
            while (end < n && IsWordChar(text.at(end)))
                ++end;
            if (IsKeyword(text.mid(i, end - i)))
                setFormat(static_cast<int>(i), static_cast<int>(end - i), m_keyword);
            i = end;
            continue;
        }
        if (c.isDigit()) {
            qsizetype end = i + 1;
            while (end < n && (text.at(end).isLetterOrNumber() || text.at(end) == QLatin1Char('.')))
                ++end;
            setFormat(static_cast<int>(i), static_cast<int>(end - i), m_number);
            i = end;
            continue;
        }
        ++i;
    }
}

KivSourceHighlighter* KivSourceView(QPlainTextEdit* text) {
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    text->setFont(fixed);
    text->setTabStopDistance(QFontMetricsF(fixed).horizontalAdvance(QLatin1Char(' ')) * 4);
    return new KivSourceHighlighter(text->document());
}
