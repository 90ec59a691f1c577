#include "support/KivPathUtil.h"
#include "common/KivTestHome.h"
#include "platform/KivDosPath.h"
#include "platform/KivPlatformHome.h"

#include <regex>

namespace fs = std::filesystem;

TEST(KivPathUtil, ConcatDirJoinsWithOneBackslash) {
    EXPECT_EQ(KivConcatDir("C:\\", "x"), "C:\\x");
    EXPECT_EQ(KivConcatDir("C:\\a\\", "\\x"), "C:\\a\\x");
    EXPECT_EQ(KivConcatDir("C:\\a", "\\x"), "C:\\a\\x");
    EXPECT_EQ(KivConcatDir("", "x"), "x");
    EXPECT_EQ(KivConcatDir("   ", "x"), "x");
    EXPECT_EQ(KivConcatDir("C:\\a", ""), "C:\\a");
    EXPECT_EQ(KivConcatDir("C:/a", "b/c"), "C:\\a\\b\\c");
    EXPECT_EQ(KivConcatDir("C:", ""), "C:\\");
    EXPECT_EQ(KivConcatDir("C:\\", ""), "C:\\");
    EXPECT_EQ(KivConcatDir("C:\\a", "b\\"), "C:\\a\\b");
}

TEST(KivPathUtil, SplittingPaths) {
    EXPECT_EQ(KivExtractFileName("C:\\a\\b.tar.gz"), "b.tar");
    EXPECT_EQ(KivExtractFileExt("C:\\a\\b.tar.gz"), ".gz");
    EXPECT_EQ(KivExtractFileExt("C:\\a.b\\c"), "");
    EXPECT_EQ(KivExtractFileName("C:\\a.b\\c"), "c");
    EXPECT_EQ(KivExtractFileInfo("C:\\Exp\\App.AEF"), "App.AEF");
    EXPECT_EQ(KivExtractFileInfo("C:App.AEF"), "App.AEF");
    EXPECT_EQ(KivExtractFilePath("C:\\Exp\\App.AEF"), "C:\\Exp\\");
    EXPECT_EQ(KivExtractFilePath("C:App.AEF"), "C:");
    EXPECT_EQ(KivExtractFilePath("App.AEF"), "");
    EXPECT_EQ(KivExtractFileName("App"), "App");

    EXPECT_EQ(KivExtractFileDrive("c:\\x"), "c:");
    EXPECT_EQ(KivExtractFileDrive("\\\\server\\share\\dir\\f"), "\\\\server\\share");
    EXPECT_EQ(KivExtractFileDrive("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(KivExtractFileDrive("\\\\server"), "\\\\server");
    EXPECT_EQ(KivExtractFileDrive("\\dir\\f"), "");
    EXPECT_EQ(KivExtractFileDrive("x"), "");
}

TEST(KivPathUtil, PathUpDropsTheLastComponent) {
    EXPECT_EQ(KivPathUp("C:\\a\\b"), "C:\\a");
    EXPECT_EQ(KivPathUp("C:\\a\\b\\"), "C:\\a");
    EXPECT_EQ(KivPathUp("C:\\a"), "C:\\");
    EXPECT_EQ(KivPathUp("C:\\"), "");
    EXPECT_EQ(KivPathUp("SOFTWARE\\Vendor\\Product"), "SOFTWARE\\Vendor");
    EXPECT_EQ(KivPathUp("SOFTWARE"), "");
    EXPECT_EQ(KivPathUp(""), "");
}

TEST(KivPathUtil, LogicalDrivesAreTheMappedOnes) {
    EXPECT_EQ(KivGetLogicalDrivesArray(), (std::vector<std::string>{"C:\\", "Z:\\"}));
    auto typed = KivGetLogicalDrivesArray(kivWithTypes);
    ASSERT_EQ(typed.size(), 2u);
    EXPECT_EQ(typed[1].root, "Z:\\");
    EXPECT_EQ(typed[1].type, KIV_DRIVE_FIXED);
}

class PathUtilDiskTest : public KivTestHome {};

TEST_F(PathUtilDiskTest, DirMakeCreatesEveryLevel) {
    EXPECT_TRUE(KivDirMake(ScratchDos("Exp\\Proj\\App") + "\\"));
    EXPECT_TRUE(fs::is_directory(Scratch() / "Exp" / "Proj" / "App"));
    EXPECT_TRUE(KivIsDir(ScratchDos("EXP\\proj")));
    EXPECT_TRUE(KivDirMake(ScratchDos("Exp\\Proj"))); // existing already
    EXPECT_FALSE(KivIsDir(ScratchDos("Exp\\Missing")));
    EXPECT_FALSE(KivIsDir(""));

    // The folder behind C: does not exist in a fresh home; the drive root is made with it.
    EXPECT_FALSE(fs::exists(kiv::platform::DriveC()));
    EXPECT_TRUE(KivDirMake("C:\\Cavo25\\AEF"));
    EXPECT_TRUE(fs::is_directory(kiv::platform::DriveC() / "Cavo25" / "AEF"));
}

TEST_F(PathUtilDiskTest, DirMakeFailsCleanly) {
    auto before = fs::current_path();
    fs::current_path(Scratch());
    EXPECT_FALSE(KivDirMake("rel\\dir")); // no drive part
    EXPECT_FALSE(fs::exists(Scratch() / "rel"));
    fs::current_path(before);

    EXPECT_FALSE(KivDirMake("D:\\x"));
    EXPECT_FALSE(KivDirMake("\\\\server\\share\\x"));

    WriteFile(Scratch() / "plain", "file content");
    EXPECT_FALSE(KivDirMake(ScratchDos("plain\\sub\\deeper")));
    EXPECT_FALSE(KivIsDir(ScratchDos("plain")));
    EXPECT_EQ(ReadFile(Scratch() / "plain"), "file content");
    EXPECT_EQ(std::distance(fs::directory_iterator(Scratch()), fs::directory_iterator()), 1);
}

TEST_F(PathUtilDiskTest, TempFilesAreNewAndUnique) {
    std::string first = KivGetTempFile("Kivrepo", ScratchDos());
    std::string second = KivGetTempFile("Kivrepo", ScratchDos());
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    EXPECT_TRUE(std::regex_match(KivExtractFileInfo(first), std::regex("Kiv[0-9A-F]{4}\\.TMP")));
    EXPECT_EQ(KivExtractFilePath(first), ScratchDos() + "\\");
    auto host = kiv::dospath::ToHost(first);
    ASSERT_TRUE(host);
    EXPECT_TRUE(fs::is_regular_file(*host));
    EXPECT_EQ(fs::file_size(*host), 0u);

    std::string inTemp = KivGetTempFile("K");
    ASSERT_FALSE(inTemp.empty());
    EXPECT_EQ(kiv::dospath::ToHost(inTemp)->parent_path(), fs::temp_directory_path().lexically_normal());
    fs::remove(*kiv::dospath::ToHost(inTemp));

    EXPECT_EQ(KivGetTempFile("K", "D:\\tmp"), "");
    WriteFile(Scratch() / "plain", "");
    EXPECT_EQ(KivGetTempFile("K", ScratchDos("plain")), "");
}

TEST(KivPathUtil, SafeFileNameKeepsEveryWriteInsideItsFolder) {
    EXPECT_EQ(KivSafeFileName("Inventory Lib"), "Inventory Lib");
    EXPECT_EQ(KivSafeFileName("Ver 2.5 (beta)"), "Ver 2.5 (beta)");
    EXPECT_EQ(KivSafeFileName("\xE9t\xE9"), "\xE9t\xE9");
    EXPECT_EQ(KivSafeFileName("..\\..\\evil"), ".._.._evil");
    EXPECT_EQ(KivSafeFileName("../x"), ".._x");
    EXPECT_EQ(KivSafeFileName(".."), "__");
    EXPECT_EQ(KivSafeFileName("."), "_");
    EXPECT_EQ(KivSafeFileName(""), "_");
    EXPECT_EQ(KivSafeFileName("a:b*c?d\"e<f>g|h"), "a_b_c_d_e_f_g_h");
    EXPECT_EQ(KivSafeFileName(std::string("a\x01\tb\x7f", 5)), "a__b_");
    EXPECT_EQ(KivSafeFileName("name. "), "name__");
    EXPECT_EQ(KivSafeFileName("con"), "_con");
    EXPECT_EQ(KivSafeFileName("Lpt3.txt"), "_Lpt3.txt");
    EXPECT_EQ(KivSafeFileName("COM0"), "COM0");
    EXPECT_EQ(KivSafeFileName("Console"), "Console");
    for (const char* n : {"..", "a/../..", "C:\\x", "/etc/passwd"}) {
        const std::string safe = KivSafeFileName(n);
        EXPECT_EQ(safe.find_first_of("\\/:"), std::string::npos) << n;
        EXPECT_NE(safe, "..");
        EXPECT_NE(safe, ".");
    }
}
