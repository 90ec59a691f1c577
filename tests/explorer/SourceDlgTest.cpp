#include "explorer/dialogs/SourceDlg.h"
#include "common/KivModalDriver.h"
#include "explorer/KivSourceHighlighter.h"
#include "explorer/SourcePane.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

namespace {

QMargins MarginsOf(const SourceDlg& dialog) {
    const QRect edit = dialog.SourceMLE()->geometry();
    return {edit.left(), edit.top(), dialog.width() - edit.right() - 1, dialog.height() - edit.bottom() - 1};
}

} // namespace

TEST(SourceDlgTest, HasItsControlsAndShowsWindowsTextWithLineEnds) {
    SourceDlg dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("SourceDlg"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Source Dialog"));
    EXPECT_FALSE(dialog.windowIcon().isNull());
    auto* ok = KivChild<QPushButton>(&dialog, "oCCOkPB");
    EXPECT_EQ(ok->text(), QStringLiteral("&Ok"));
    EXPECT_TRUE(ok->isDefault());
    QPlainTextEdit* edit = KivChild<QPlainTextEdit>(&dialog, "SourceMLE");
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::NoWrap);
    // Some monospaced fonts do not declare it: measure.
    const QFontMetrics metrics(edit->font());
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));

    dialog.Caption("Orders \x96 Customer");
    dialog.Text("FUNCTION Start()\r\n\t? \"Caf\xe9\"\r\nRETURN NIL\r\n");
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Orders – Customer"));
    EXPECT_EQ(edit->toPlainText(), QString::fromUtf8("FUNCTION Start()\n\t? \"Café\"\nRETURN NIL\n"));
    EXPECT_EQ(dialog.Text(), "FUNCTION Start()\r\n\t? \"Caf\xe9\"\r\nRETURN NIL\r\n");
}

TEST(SourceDlgTest, OkClosesTheModalViewer) {
    SourceDlg dialog;
    KivModalDriver driver(QStringLiteral("SourceDlg"),
                          [](QWidget* w) { KivChild<QPushButton>(w, "oCCOkPB")->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

TEST(SourceDlgTest, ResizingKeepsTheMarginsAndTheButtonInItsCorner) {
    SourceDlg dialog;
    dialog.show();
    const QMargins created = MarginsOf(dialog);
    auto* ok = KivChild<QPushButton>(&dialog, "oCCOkPB");
    const QPoint okFromCorner(dialog.width() - ok->x(), dialog.height() - ok->y());
    EXPECT_GT(created.bottom(), ok->height()); // the button sits below the text

    for (QSize size : {QSize(1000, 700), QSize(400, 300), QSize(1600, 1200)}) {
        dialog.resize(size);
        ASSERT_EQ(dialog.size(), size);
        EXPECT_EQ(MarginsOf(dialog), created) << size.width();
        EXPECT_EQ(QPoint(dialog.width() - ok->x(), dialog.height() - ok->y()), okFromCorner) << size.width();
        EXPECT_FALSE(dialog.SourceMLE()->geometry().intersects(ok->geometry()));
    }
}

TEST(SourceDlgTest, SmallerThanItsMarginsGivesNoNegativeSize) {
    SourceDlg dialog;
    dialog.show();
    for (QSize size : {QSize(20, 30), QSize(1, 1), QSize(300, 10), QSize(10, 300)}) {
        dialog.resize(size);
        const QRect edit = dialog.SourceMLE()->geometry();
        const QRect ok = KivChild<QPushButton>(&dialog, "oCCOkPB")->geometry();
        EXPECT_GE(edit.width(), 0) << size.width() << "x" << size.height();
        EXPECT_GE(edit.height(), 0) << size.width() << "x" << size.height();
        EXPECT_GE(edit.x(), 0);
        EXPECT_GE(edit.y(), 0);
        EXPECT_GE(ok.x(), 0);
        EXPECT_GE(ok.y(), 0);
    }
    // Growing again gives the old margins back.
    const QSize big(900, 600);
    dialog.resize(big);
    EXPECT_GT(dialog.SourceMLE()->width(), 800);
    EXPECT_GT(dialog.SourceMLE()->height(), 500);
}

namespace {

// The format the highlighter gave the first character of `piece` in line `line` of the viewer.
QTextCharFormat FormatAt(QPlainTextEdit* edit, int line, const QString& piece) {
    QTextBlock block = edit->document()->findBlockByNumber(line);
    const int at = block.text().indexOf(piece);
    EXPECT_GE(at, 0) << piece.toStdString();
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (at >= range.start && at < range.start + range.length)
            return range.format;
    return {};
}

} // namespace

TEST(SourceHighlighterTest, ColoursKeywordsStringsAndComments) {
    SourceDlg dialog;
    dialog.Text("method Init(oOwner) CLASS Customer // comment with \"quote\"\r\n"
                "\tIF lOk == .T. .and. cName = 'it''s // no comment'\r\n"
                "\t\tnTotal := 12 && old comment\r\n"
                "* whole line IF\r\n"
                "\t/* starts here\r\n"
                "\t   RETURN inside */ RETURN SELF\r\n"
                "\tx := \"unclosed\r\n"
                "#include \"VOWin32APILibrary.vh\"\r\n"
                "\tnIfs := 3 * nEndIf // IFs and ENDIFs inside names are no keywords\r\n");
    QPlainTextEdit* edit = dialog.SourceMLE();
    KivSourceHighlighter* highlighter = edit->findChild<KivSourceHighlighter*>();
    ASSERT_NE(highlighter, nullptr);
    const auto keyword = highlighter->KeywordFormat(), string = highlighter->StringFormat(),
               comment = highlighter->CommentFormat(), number = highlighter->NumberFormat(),
               directive = highlighter->DirectiveFormat();

    EXPECT_EQ(FormatAt(edit, 0, "method"), keyword);
    EXPECT_EQ(FormatAt(edit, 0, "CLASS"), keyword);
    EXPECT_EQ(FormatAt(edit, 0, "Init"), QTextCharFormat());
    EXPECT_EQ(FormatAt(edit, 0, "// comment"), comment);
    EXPECT_EQ(FormatAt(edit, 0, "\"quote\""), comment);
    EXPECT_EQ(FormatAt(edit, 1, "IF"), keyword);
    EXPECT_EQ(FormatAt(edit, 1, ".T."), keyword);
    EXPECT_EQ(FormatAt(edit, 1, ".and."), keyword);
    EXPECT_EQ(FormatAt(edit, 1, "'it'"), string);
    EXPECT_EQ(FormatAt(edit, 1, "// no comment"), string);
    EXPECT_EQ(FormatAt(edit, 2, "12"), number);
    EXPECT_EQ(FormatAt(edit, 2, "&& old"), comment);
    EXPECT_EQ(FormatAt(edit, 3, "* whole"), comment);
    EXPECT_EQ(FormatAt(edit, 3, "IF"), comment);
    EXPECT_EQ(FormatAt(edit, 4, "/* starts"), comment);
    EXPECT_EQ(FormatAt(edit, 5, "RETURN inside"), comment);
    EXPECT_EQ(FormatAt(edit, 5, "RETURN SELF"), keyword);
    EXPECT_EQ(FormatAt(edit, 5, "SELF"), keyword);
    EXPECT_EQ(FormatAt(edit, 6, "\"unclosed"), string);
    EXPECT_EQ(FormatAt(edit, 7, "#include"), directive);
    EXPECT_EQ(FormatAt(edit, 7, "\"VOWin"), string);
    EXPECT_EQ(FormatAt(edit, 8, "nIfs"), QTextCharFormat());
    EXPECT_EQ(FormatAt(edit, 8, "* nEndIf"), QTextCharFormat()); // a product, not a comment line
    EXPECT_EQ(FormatAt(edit, 8, "nEndIf"), QTextCharFormat());
}

// The pane colours what is in view at once and the rest in the background: by the time it is
// done, a long source (a comment opened in one background chunk and closed in another) has the
// colours the viewer gives it.
TEST(SourceHighlighterTest, ThePaneColoursLongSourcesAsTheViewerDoes) {
    std::string source;
    for (int i = 0; i < 2000; ++i) {
        source += i % 700 == 350 ? "\t/* opens RETURN\r\n" : i % 700 == 650 ? "*/ RETURN x // done\r\n" : "";
        source += "\tIF n == 12 .and. s = 'x' // note\r\n";
    }
    SourceDlg dialog;
    dialog.Text(source);
    SourcePane pane;
    pane.resize(600, 400);
    pane.show();
    pane.Show("Long", source);
    const QTextDocument* shown = pane.Text()->document();
    const QTextDocument* viewed = dialog.SourceMLE()->document();
    ASSERT_EQ(shown->blockCount(), viewed->blockCount());
    const auto same = [&](int block) {
        return shown->findBlockByNumber(block).layout()->formats() ==
               viewed->findBlockByNumber(block).layout()->formats();
    };
    EXPECT_TRUE(same(0));
    EXPECT_FALSE(shown->findBlockByNumber(0).layout()->formats().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(same(shown->blockCount() - 2) && same(shown->blockCount() - 1), 5000);
    for (int block = 0; block < shown->blockCount(); ++block)
        ASSERT_TRUE(same(block)) << block;

    // A jump far down colours what comes into view before the background gets there.
    pane.Show("Again", source);
    pane.MarkLine(1900);
    EXPECT_TRUE(same(1900));
}

TEST(SourceHighlighterTest, KnowsTheLanguagesWordsInAnyCase) {
    for (const char* word :
         {"FUNCTION", "procedure", "Method", "ACCESS", "ASSIGN", "RETURN", "LOCAL", "IF", "ENDIF", "DO",
          "WHILE", "ENDDO", "FOR", "NEXT", "SELF", "NIL", "TRUE", ".T.", ".f."})
        EXPECT_TRUE(KivSourceHighlighter::IsKeyword(QLatin1String(word))) << word;
    for (const char* word : {"Customer", "IFS", ".X.", "", "END IF"})
        EXPECT_FALSE(KivSourceHighlighter::IsKeyword(QLatin1String(word))) << word;
}
