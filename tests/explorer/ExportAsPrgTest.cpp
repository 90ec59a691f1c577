#include "explorer/dialogs/ExportAsPrg.h"
#include "explorer/dialogs/ImportPrj.h"

#include "common/KivModalDriver.h"
#include "common/KivScriptedPrompt.h"
#include "common/KivTestHome.h"
#include "platform/KivDosPath.h"
#include "support/KivIDESettings.h"
#include "support/KivRegistry.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

class ExportAsPrgTest : public KivTestHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        KivOpenIDESettings(); // on this test's home
    }
    void TearDown() override {
        KivCloseIDESettings();
        KivTestHome::TearDown();
    }
};

TEST_F(ExportAsPrgTest, HasItsControlsAndEndsWithOneForExportAndZeroForCancel) {
    ExportAsPrg dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("ExportAsPrg"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Export base Folder"));
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCFolderLabel")->text(), QStringLiteral("Folder :"));
    EXPECT_EQ(KivChild<QPushButton>(&dialog, "oCCChangeFolder")->text(), QStringLiteral("..."));
    auto* exportPB = KivChild<QPushButton>(&dialog, "oCCExportPB");
    EXPECT_EQ(exportPB->text(), QStringLiteral("&Export"));
    EXPECT_TRUE(exportPB->isDefault());
    EXPECT_EQ(KivChild<QPushButton>(&dialog, "oCCCancelPB")->text(), QStringLiteral("&Cancel"));
    auto* dll = KivChild<QCheckBox>(&dialog, "oDCDLLChk");
    EXPECT_EQ(dll->text(), QStringLiteral("Include DLLs"));
    EXPECT_TRUE(dll->isHidden());
    auto* abort = KivChild<QCheckBox>(&dialog, "oDCAbortChk");
    EXPECT_EQ(abort->text(), QStringLiteral("Abort On Error"));
    EXPECT_FALSE(abort->isHidden());

    struct Case {
        const char* button;
        int result;
    };
    for (const Case& c : {Case{"oCCExportPB", 1}, Case{"oCCCancelPB", 0}}) {
        ExportAsPrg shown;
        KivModalDriver driver(QStringLiteral("ExportAsPrg"), [&](QWidget* d) {
            KivChild<QLineEdit>(d, "oDCFolderPath")->setText(QStringLiteral("  D:\\Out  "));
            KivChild<QCheckBox>(d, "oDCAbortChk")->setChecked(true);
            KivChild<QPushButton>(d, c.button)->click();
        });
        EXPECT_EQ(shown.exec(), c.result) << c.button;
        EXPECT_EQ(shown.FolderPath(), "D:\\Out");
        EXPECT_TRUE(shown.oDCAbortChk()->isChecked());
    }
    ExportAsPrg escaped;
    KivModalDriver driver(QStringLiteral("ExportAsPrg"),
                          [](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    EXPECT_EQ(escaped.exec(), 0);
}

TEST_F(ExportAsPrgTest, FolderComesFromTheSettingsAndTheCurrentDirectoryIsStoredWhenMissing) {
    const std::string current = kiv::dospath::FromHost(std::filesystem::current_path());
    {
        ExportAsPrg dialog;
        EXPECT_EQ(dialog.FolderPath(), current);
    }
    EXPECT_EQ(KivIDESettings().GetString("Directories", "AEFPath", "none"), current);

    ASSERT_TRUE(KivIDESettings().WriteString("Directories", "AEFPath", "C:\\CAVO25\\AEF"));
    ExportAsPrg dialog;
    EXPECT_EQ(dialog.FolderPath(), "C:\\CAVO25\\AEF");
}

TEST_F(ExportAsPrgTest, ChangeFolderAsksFromTheTypedFolderAndKeepsItWhenCancelled) {
    auto prompt = std::make_shared<KivScriptedPrompt>();
    prompt->folderAnswers = {std::string("Z:\\tmp\\b\xe9se"), std::nullopt};
    KivPromptScope scope(prompt);
    ExportAsPrg dialog;
    dialog.FolderPath("C:\\START");
    dialog.oCCChangeFolder()->click();
    EXPECT_EQ(dialog.FolderPath(), "Z:\\tmp\\b\xe9se");
    EXPECT_EQ(dialog.oDCFolderPath()->text(), QString::fromUtf8("Z:\\tmp\\b\u00e9se"));
    dialog.oCCChangeFolder()->click();
    EXPECT_EQ(dialog.FolderPath(), "Z:\\tmp\\b\xe9se");
    EXPECT_EQ(prompt->dialogs, (std::vector<std::string>{"Select base Folder", "Select base Folder"}));
}

// The typed folder fields (this one and the project import's) take host and DOS forms alike, and
// a relative folder from the working folder.
TEST_F(ExportAsPrgTest, TypedFoldersTakeHostAndDosForms) {
    const std::string cwd = kiv::dospath::FromHost(std::filesystem::current_path());
    ExportAsPrg folder;
    ImportPrj import;
    auto* importPath = KivChild<QLineEdit>(&import, "oDCPrjPath");
    for (const auto& [typed, dos] : std::vector<std::pair<std::string, std::string>>{
             {"/tmp/out", "Z:\\tmp\\out"},
             {"C:/Cavo25/AEF", "C:\\Cavo25\\AEF"},
             {" out/sub ", cwd + "\\out\\sub"},
         }) {
        folder.oDCFolderPath()->setText(QString::fromStdString(typed));
        importPath->setText(QString::fromStdString(typed));
        EXPECT_EQ(folder.FolderPath(), dos) << typed;
        EXPECT_EQ(import.PrjPath(), dos) << typed;
    }
}
