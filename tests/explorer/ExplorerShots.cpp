// Writes pictures of the explorer's dialogs and icons (offscreen) for a person to look at:
//   explorer_shots [FOLDER]     (default /tmp/kivshots)
#include "explorer/KivIcons.h"
#include "explorer/KivQtPrompt.h"
#include "explorer/dialogs/AboutDlg.h"
#include "explorer/dialogs/AppInfoDlg.h"
#include "explorer/dialogs/ExportProgress.h"
#include "explorer/dialogs/ImportProgress.h"
#include "explorer/dialogs/KivInputDlg.h"
#include "explorer/dialogs/SourceDlg.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>

#include <cstdio>
#include <cstdlib>

namespace {

const char* kSource = "CLASS Customer INHERIT DataWindow\r\n"
                      "\tEXPORT cName AS STRING\r\n"
                      "\tPROTECT nBalance := 0 AS FLOAT // running total\r\n"
                      "\r\n"
                      "METHOD Init(oOwner, cCaption) CLASS Customer\r\n"
                      "\tLOCAL lOk := .T. AS LOGIC\r\n"
                      "\t/* Open the window and\r\n"
                      "\t   fill its fields */\r\n"
                      "\tSUPER:Init(oOwner)\r\n"
                      "\tIF Empty(cCaption)\r\n"
                      "\t\tSELF:Caption := \"Caf\xe9 \x93"
                      "Central\x94\"\r\n"
                      "\tELSE\r\n"
                      "\t\tSELF:Caption := cCaption && as given\r\n"
                      "\tENDIF\r\n"
                      "\tDO WHILE nBalance < 100\r\n"
                      "\t\tnBalance += 12.5\r\n"
                      "\tENDDO\r\n"
                      "RETURN SELF\r\n"
                      "* an old-style comment line\r\n"
                      "ACCESS Balance CLASS Customer\r\n"
                      "RETURN nBalance\r\n";

void Save(QWidget& widget, const QString& folder, const char* name) {
    widget.show();
    QApplication::processEvents();
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    if (!widget.grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/kivshots");
    QDir().mkpath(folder);

    SourceDlg source;
    source.Caption("Customer");
    source.Text(kSource);
    Save(source, folder, "SourceDlg.png");
    source.resize(360, 200);
    Save(source, folder, "SourceDlg-small.png");

    AboutDlg about;
    Save(about, folder, "AboutDlg.png");

    ExportProgress exporting;
    exporting.SetRange(0, 1, 12);
    exporting.SetPosition(0, 5);
    exporting.SetText(0, "Customer Window");
    exporting.SetRange(1, 1, 40);
    exporting.SetPosition(1, 31);
    exporting.SetText(1, "Customer:Init");
    Save(exporting, folder, "ExportProgress.png");

    ImportProgress importing;
    importing.SetRange(0, 1, 3);
    importing.SetPosition(0, 2);
    importing.SetText(0, "Standard Library");
    Save(importing, folder, "ImportProgress.png");

    AppInfoDlg info;
    info.AddLibrary("System Library");
    info.AddLibrary("GUI Classes");
    Save(info, folder, "AppInfoDlg.png");

    KivInputDlg input;
    input.setWindowTitle(QStringLiteral("New Application"));
    input.Prompt("Name of the new application :");
    input.Value("Orders");
    Save(input, folder, "KivInputDlg.png");

    QMessageBox box;
    KivBuildMessageBox(box, "Do you wish to view the log file ?\r\nIt lists every application.", "Choose",
                       KivBox::YesNo | KivBox::IconQuestion | KivBox::DefButton2);
    Save(box, folder, "MessageBox.png");

    // Each icon at 16, 24, 32 and 64 pixels, and at 16 on a screen of pixel ratio 2, blown up
    // four times so single pixels can be judged.
    const int sizes[] = {16, 24, 32, 64};
    QPixmap sheet(4 * (16 + 24 + 32 + 64 + 16 + 5 * 8), 4 * (2 * 64 + 3 * 8));
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        painter.scale(4, 4);
        int y = 8;
        for (const char* name : {"ICON_CODE", "AA_ICON"}) {
            const QIcon icon = KivIcon(name);
            int x = 8;
            for (int size : sizes) {
                painter.drawPixmap(x, y, icon.pixmap(QSize(size, size)));
                x += size + 8;
            }
            QPixmap hidpi = icon.pixmap(QSize(16, 16), 2.0);
            painter.drawPixmap(QRect(x, y, 16, 16), hidpi);
            y += 64 + 8;
        }
    }
    sheet.save(folder + QStringLiteral("/icons.png"));
    return 0;
}
