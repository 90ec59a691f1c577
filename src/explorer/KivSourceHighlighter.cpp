#include "explorer/KivSourceHighlighter.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

enum BlockState { Normal = 0, InBlockComment = 1 };

// The language's words in upper case, sorted for a binary search.
constexpr std::string_view kKeywords[] = {"ACCESS",    "ARRAY",    "AS",        "ASSIGN",     "BEGIN",     "BREAK",   "BYTE",
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
              ".NOT."};
constexpr std::size_t kLongestKeyword = 10;

bool IsWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace


namespace {

// Walks one line of source and hands each coloured run to mark(start, length, format); returns
// whether a /* */ comment runs on past the line's end.
template <class Mark>
bool Lex(QStringView text, bool inComment, const KivSourceHighlighter& styles, Mark mark) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    if (inComment) {
        const qsizetype end = text.indexOf(QLatin1String("*/"));
        if (end < 0) {
            mark(0, n, styles.CommentFormat());
            return true;
        }
        mark(0, end + 2, styles.CommentFormat());
        i = end + 2;
    }

    // A "*" or a "#" as the first thing on a line starts a comment line or a directive.
    qsizetype first = 0;
    while (first < n && text.at(first).isSpace())
        ++first;
    if (i == 0 && first < n && text.at(first) == QLatin1Char('*') &&
        !(first + 1 < n && text.at(first + 1) == QLatin1Char('/'))) {
        mark(first, n - first, styles.CommentFormat());
        return false;
    }
    if (i == 0 && first < n && text.at(first) == QLatin1Char('#')) {
        qsizetype end = first + 1;
        while (end < n && IsWordChar(text.at(end)))
            ++end;
        mark(first, end - first, styles.DirectiveFormat());
        i = end;
    }

    while (i < n) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < n ? text.at(i + 1) : QChar();
        if ((c == QLatin1Char('/') && next == QLatin1Char('/')) ||
            (c == QLatin1Char('&') && next == QLatin1Char('&'))) {
            mark(i, n - i, styles.CommentFormat());
            return false;
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0) {
                mark(i, n - i, styles.CommentFormat());
                return true;
            }
            mark(i, end + 2 - i, styles.CommentFormat());
            i = end + 2;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            qsizetype end = text.indexOf(c, i + 1);
            end = end < 0 ? n : end + 1; // an unclosed string runs to the end of the line
            mark(i, end - i, styles.StringFormat());
            i = end;
            continue;
        }
        if (c == QLatin1Char('.')) {
            qsizetype end = i + 1;
            while (end < n && text.at(end).isLetter())
                ++end;
            if (end < n && end > i + 1 && text.at(end) == QLatin1Char('.') &&
                KivSourceHighlighter::IsKeyword(text.mid(i, end + 1 - i))) {
                mark(i, end + 1 - i, styles.KeywordFormat());
                i = end + 1;
                continue;
            }
        }
        if (IsWordStart(c)) {
            qsizetype end = i + 1;
            while (end < n && IsWordChar(text.at(end)))
                ++end;
            if (KivSourceHighlighter::IsKeyword(text.mid(i, end - i)))
                mark(i, end - i, styles.KeywordFormat());
            i = end;
            continue;
        }
        if (c.isDigit()) {
            qsizetype end = i + 1;
            while (end < n && (text.at(end).isLetterOrNumber() || text.at(end) == QLatin1Char('.')))
                ++end;
            mark(i, end - i, styles.NumberFormat());
            i = end;
            continue;
        }
        ++i;
    }
    return false;
}

} // namespace

KivSourceHighlighter::KivSourceHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    MakeFormats();
}

KivSourceHighlighter::KivSourceHighlighter(QObject* owner) : QSyntaxHighlighter(owner) {
    MakeFormats();
}

void KivSourceHighlighter::MakeFormats() {
    m_keyword.setForeground(QColor(0x1b, 0x4f, 0xb8));
    m_keyword.setFontWeight(QFont::Bold);
    m_string.setForeground(QColor(0xa3, 0x3a, 0x17));
    m_comment.setForeground(QColor(0x2b, 0x7a, 0x34));
    m_comment.setFontItalic(true);
    m_number.setForeground(QColor(0x8a, 0x2b, 0x9e));
    m_directive.setForeground(QColor(0x6b, 0x55, 0x00));
}

bool KivSourceHighlighter::IsKeyword(QStringView word) {
    static const auto sorted = [] {
        std::array<std::string_view, std::size(kKeywords)> words;
        std::copy(std::begin(kKeywords), std::end(kKeywords), words.begin());
        std::sort(words.begin(), words.end());
        return words;
    }();
    if (word.isEmpty() || static_cast<std::size_t>(word.size()) > kLongestKeyword)
        return false;
    char upper[kLongestKeyword];
    for (qsizetype i = 0; i < word.size(); ++i) {
        const char16_t c = word[i].unicode();
        if (c >= 0x80)
            return false;
        upper[i] = static_cast<char>(c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c);
    }
    return std::binary_search(sorted.begin(), sorted.end(),
                              std::string_view(upper, static_cast<std::size_t>(word.size())));
}

void KivSourceHighlighter::highlightBlock(const QString& text) {
    const bool runsOn = Lex(text, previousBlockState() == InBlockComment, *this,
                            [this](qsizetype start, qsizetype length, const QTextCharFormat& format) {
                                setFormat(static_cast<int>(start), static_cast<int>(length), format);
                            });
    setCurrentBlockState(runsOn ? InBlockComment : Normal);
}

bool KivSourceHighlighter::ColourBlock(const QTextBlock& block, bool inComment) const {
    QList<QTextLayout::FormatRange> ranges;
    const bool runsOn = Lex(block.text(), inComment, *this,
                            [&ranges](qsizetype start, qsizetype length, const QTextCharFormat& format) {
                                if (length > 0)
                                    ranges.append({static_cast<int>(start), static_cast<int>(length), format});
                            });
    block.layout()->setFormats(ranges);
    return runsOn;
}

void KivSourceView(QPlainTextEdit* text) {
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    text->setFont(fixed);
    text->setTabStopDistance(QFontMetricsF(fixed).horizontalAdvance(QLatin1Char(' ')) * 4);
}
