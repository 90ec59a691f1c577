#include "explorer/transfer/KivRegExport.h"
#include "common/KivTestHome.h"
#include "explorer/transfer/KivIdeFolders.h"
#include "support/KivIDESettings.h"
#include "support/KivRegistry.h"

// The IDE settings with a few groups filled; groups are chosen by their 1-based numbers.
class KivRegExportTest : public KivTestHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        Settings().WriteString("Fonts", "Editor", "Courier New");
        Settings().WriteString("Fonts\\Sizes", "Editor", "10");
        Settings().WriteString("Editor", "Tabs", "4");
        Settings().WriteString("Shop-DeskTop", "Open", "Main");
        Settings().WriteString("Tools-desktop", "Open", "Tool");
        Settings().WriteString("DeskTopNot", "Open", "No");
    }

    static KivRegistry& Settings() { return KivIDESettings(); }

    std::string Export(std::initializer_list<int> groups) {
        KivRegExport::Choice choice{};
        for (int group : groups)
            choice[group - 1] = true;
        KivTransferResult result = KivRegExport().Run(Settings(), choice, ScratchDos("out.reg"));
        EXPECT_TRUE(result.Done()) << result.message;
        return ReadFile(Scratch() / "out.reg");
    }

    static std::string Block(const std::string& key, const std::string& lines) {
        return "[HKEY_CURRENT_USER\\" + std::string(KIV_IDE_SETTINGS_KEY) + "\\" + key + "]\r\n" + lines +
               "\r\n";
    }
};

TEST_F(KivRegExportTest, ChosenGroupsInTableOrderUnderOneHeader) {
    EXPECT_EQ(Export({7}), "REGEDIT4\r\n\r\n" + Block("Fonts", "\"Editor\"=\"Courier New\"\r\n") +
                               Block("Fonts\\Sizes", "\"Editor\"=\"10\"\r\n"));
    // Table order, whatever order the boxes were ticked in; missing groups (1, 2) are skipped.
    EXPECT_EQ(Export({7, 4, 1, 2}), "REGEDIT4\r\n\r\n" + Block("Editor", "\"Tabs\"=\"4\"\r\n") +
                                        Block("Fonts", "\"Editor\"=\"Courier New\"\r\n") +
                                        Block("Fonts\\Sizes", "\"Editor\"=\"10\"\r\n"));
    EXPECT_EQ(Export({}), "REGEDIT4\r\n\r\n");
}

TEST_F(KivRegExportTest, DeskTopKeysInEnumerationOrder) {
    EXPECT_EQ(KivRegExport::DeskTopKeys(Settings()),
              (std::vector<std::string>{"Shop-DeskTop", "Tools-desktop"}));
    EXPECT_EQ(Export({9}), "REGEDIT4\r\n\r\n" + Block("Shop-DeskTop", "\"Open\"=\"Main\"\r\n") +
                               Block("Tools-desktop", "\"Open\"=\"Tool\"\r\n"));
    EXPECT_EQ(KivRegExport::GroupText(8), std::string("All Applications Desktop"));
    EXPECT_EQ(KivRegExport::GroupKey(7), std::string("Window"));
}

TEST_F(KivRegExportTest, DirectoriesCarryTheFolderTheToolRead) {
    const std::string folder = KivAefPathSetting();
    EXPECT_EQ(folder, KivCurrentDosDir());
    EXPECT_EQ(Export({3}), "REGEDIT4\r\n\r\n" + Block(
                                                    "Directories", "\"AEFPath\"=\"" + [&] {
                                                        std::string escaped;
                                                        for (char c : folder)
                                                            escaped += c == '\\' ? std::string("\\\\")
                                                                                 : std::string(1, c);
                                                        return escaped;
                                                    }() + "\"\r\n"));
}

TEST_F(KivRegExportTest, UnwritableFileFails) {
    KivRegExport::Choice all;
    all.fill(true);
    EXPECT_EQ(KivRegExport().Run(Settings(), all, "Z:\\dev\\full").outcome, KivTransferOutcome::Failed);
    WriteFile(Scratch() / "file", "x");
    KivTransferResult result = KivRegExport().Run(Settings(), all, ScratchDos("file\\out.reg"));
    EXPECT_EQ(result.outcome, KivTransferOutcome::Failed);
    EXPECT_FALSE(result.message.empty());
}
