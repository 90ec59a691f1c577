// Writes pictures of the explorer's dialogs and icons (offscreen) for a person to look at:
//   explorer_shots [FOLDER]     (default /tmp/kivshots)
#include "common/KivAefTestWriter.h"
#include "explorer/KivIcons.h"
#include "explorer/KivQtPrompt.h"
#include "explorer/RepoExplorer.h"
#include "explorer/dialogs/AboutDlg.h"
#include "explorer/dialogs/AppInfoDlg.h"
#include "explorer/dialogs/CompareDlg.h"
#include "explorer/dialogs/ExportModules.h"
#include "explorer/dialogs/ImportModules.h"
#include "explorer/dialogs/ExportAsPrg.h"
#include "explorer/dialogs/ExportProgress.h"
#include "explorer/dialogs/ImportProgress.h"
#include "explorer/dialogs/KivInputDlg.h"
#include "explorer/dialogs/SourceDlg.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivProgress.h"

#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <iterator>

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

// A small repository in a temporary platform home: two projects, an executable with a class
// module, a library, a DLL and an empty application.
void FillRepository(KivVORepository& repo, const QString& scratch) {
    struct App {
        const char* name;
        bool library, dll;
        std::vector<const char*> modules;
    };
    const App apps[] = {{"Orders", false, false, {"Customer", "Invoice", "Start"}},
                        {"Reports", true, false, {"Printing"}},
                        {"Bridge", false, true, {"Api"}},
                        {"Sketch", false, false, {}}};
    repo.ProjectCreate("Shop", "C:\\SHOP");
    repo.ProjectCreate("Archive", "C:\\ARCHIVE");
    for (const App& app : apps) {
        KivAefTestWriter w = KivAefTestWriter::Aef();
        w.AppName(app.name).AppInfo(1700000000, 1650000000, app.library, app.dll);
        for (const char* module : app.modules) {
            w.Module(module, 1701000000, 1651000000);
            const std::string m = module;
            w.Entity({m, 3, 23, "CLASS " + m + " INHERIT DataWindow", "CLASS " + m + "\r\n"});
            w.Entity({"Init", 3, 21, "METHOD Init(oOwner) CLASS " + m, kSource});
            w.Entity({"Balance", 3, 25, "ACCESS Balance CLASS " + m, "ACCESS Balance\r\n"});
            w.Entity({"Balance", 3, 26, "ASSIGN Balance(n) CLASS " + m, "ASSIGN Balance(n)\r\n"});
            w.Entity(
                {"Open" + m, 3, 17, "FUNCTION Open" + m + "(cFile AS STRING) AS LOGIC", "FUNCTION x()\r\n"});
        }
        const QString file = scratch + QStringLiteral("/%1.aef").arg(QLatin1String(app.name));
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        const std::string bytes = w.End();
        out.write(bytes.data(), static_cast<qint64>(bytes.size()));
        out.close();
        KivVOProject("Shop").ImportApplication(app.name,
                                               "Z:" + QString(file).replace('/', '\\').toStdString(), 1, 0);
    }
    repo.CurrentProjectName("Shop");
}

// The module dialogs: files listed for an import, the export's folder, and a comparison of two
// versions of a module (one method changed, a function added, one removed).
void SaveModuleDialogs(const QString& folder, const QString& scratch) {
    ImportModules import("Orders");
    for (const char* file : {"Customer.MEF", "Invoice.MEF", "Start.MEF"})
        import.oDCFileList()->addItem(QStringLiteral("Z:\\home\\ann\\scm\\Orders\\") + QLatin1String(file));
    import.oCCImportPB()->setEnabled(true); // the files named are not on this machine
    Save(import, folder, "ImportModules.png");

    ExportAsPrg exportDialog;
    KivMakeExportModules(exportDialog)->setChecked(true);
    exportDialog.FolderPath("Z:\\home\\ann\\scm");
    Save(exportDialog, folder, "ExportModules.png");

    auto write = [&](const char* name, const std::string& initSource, bool later) {
        KivAefTestWriter w = KivAefTestWriter::Mef();
        w.Module("Customer", 1701000000, 1651000000);
        w.Entity({"CUSTOMER", 3, 23, "CLASS Customer INHERIT DataWindow", "CLASS Customer INHERIT DataWindow\r\n"});
        w.Entity({"CUSTOMER:INIT", 3, 21, "METHOD Init(oOwner, cCaption) CLASS Customer", initSource});
        w.Entity({later ? "CUSTOMER:PRINT" : "CUSTOMER:CLOSE", 3, 21,
                  later ? "METHOD Print() CLASS Customer" : "METHOD Close() CLASS Customer",
                  later ? "METHOD Print() CLASS Customer\r\n\tSELF:Owner:Print(SELF)\r\nRETURN NIL\r\n"
                        : "METHOD Close() CLASS Customer\r\nRETURN SUPER:Close()\r\n"});
        const QString path = scratch + QLatin1Char('/') + QLatin1String(name);
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        const std::string bytes = w.End();
        out.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return "Z:" + QString(path).replace('/', '\\').toStdString();
    };
    std::string changed = kSource;
    changed.replace(changed.find("nBalance < 100"), 14, "nBalance < 250");
    std::string error;
    const KivCompareSide before = KivCompareSide::OfFile(write("old.mef", kSource, false), error);
    const KivCompareSide after = KivCompareSide::OfFile(write("new.mef", changed, true), error);
    KivSilentProgress progress;
    KivModuleCompare compare;
    compare.Run(before, after, progress);
    CompareDlg dialog(compare.Modules(), "Z:\\home\\ann\\scm\\Orders\\Customer.MEF", "Orders\\Customer");
    dialog.SelectEntity("Customer", "CUSTOMER:INIT");
    Save(dialog, folder, "CompareDlg.png");
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

    // Each icon at 16, 24 and 32 pixels, and at 16 on a screen of pixel ratio 2, blown up three
    // times so single pixels can be judged; the last row holds the toolbar pictures at 16.
    const char* const icons[] = {"ICON_VO",     "ICON_PRJ", "ICON_APP",  "ICON_LIB",      "ICON_DLL",
                                 "ICON_SYSLIB", "ICON_MEF", "ICON_CODE", "ICON_EXTERNAL", "AA_ICON"};
    const int sizes[] = {16, 24, 32};
    const int rows = static_cast<int>(std::size(icons)) + 1;
    QPixmap sheet(3 * 240, 3 * (rows * 40 + 8));
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        painter.scale(3, 3);
        int y = 8;
        for (const char* name : icons) {
            const QIcon icon = KivIcon(name);
            int x = 8;
            for (int size : sizes) {
                painter.drawPixmap(x, y, icon.pixmap(QSize(size, size)));
                x += size + 8;
            }
            QPixmap hidpi = icon.pixmap(QSize(16, 16), 2.0);
            painter.drawPixmap(QRect(x, y, 16, 16), hidpi);
            y += 40;
        }
        int x = 8;
        for (int image : {3, 38, 34, 32, 33, 35, 9, 10, 21}) {
            painter.drawPixmap(x, y, KivToolbarIcon(image).pixmap(QSize(16, 16)));
            x += 24;
        }
    }
    sheet.save(folder + QStringLiteral("/icons.png"));

    QTemporaryDir scratch;
    SaveModuleDialogs(folder, scratch.path());

    ExportAsPrg folderDialog;
    folderDialog.FolderPath("C:\\CAVO25\\AEF");
    Save(folderDialog, folder, "ExportAsPrg.png");

    // The main window on a small repository, with a module's entities listed.
    QTemporaryDir home;
    qputenv("KIV_HOME", home.path().toLocal8Bit());
    {
        KivRepositorySession session;
        if (!session.Success()) {
            std::fprintf(stderr, "cannot open the repository in %s\n", qPrintable(home.path()));
            return 1;
        }
        FillRepository(*session.Repository(), home.path());
        RepoExplorer explorer;
        explorer.resize(900, 480);
        explorer.show();
        QApplication::processEvents();
        QTreeWidgetItem* shop = explorer.FindNode("Shop");
        QTreeWidgetItem* orders = shop ? shop->child(1) : nullptr;
        if (orders) {
            orders->setExpanded(true);
            if (orders->childCount() > 0)
                explorer.TreeWindow()->setCurrentItem(orders->child(0));
        }
        explorer.ListWindow()->topLevelItem(0) ? explorer.ListWindow()->topLevelItem(0)->setSelected(true)
                                               : void();
        Save(explorer, folder, "RepoExplorer.png");
        for (QAction* top : explorer.menuBar()->actions()) {
            if (top->menu() && top->text() == QStringLiteral("&Application")) {
                top->menu()->popup(explorer.mapToGlobal(QPoint(60, 20)));
                Save(*top->menu(), folder, "ApplicationMenu.png");
                top->menu()->hide();
            }
        }
    }
    return 0;
}
