#include "common/KivTestHome.h"
#include "platform/KivDosPath.h"
#include "platform/KivPlatformHome.h"

#include <unistd.h>
#include <vector>

using namespace kiv;

class DosPathTest : public KivTestHome {};

TEST_F(DosPathTest, DrivesMapOntoTheHost) {
    EXPECT_EQ(dospath::ToHost("Z:\\home\\ann\\x"), std::filesystem::path("/home/ann/x"));
    EXPECT_EQ(dospath::ToHost("z:/home/ann"), std::filesystem::path("/home/ann"));
    EXPECT_EQ(dospath::ToHost("Z:\\"), std::filesystem::path("/"));
    EXPECT_EQ(dospath::ToHost("C:\\Cavo25\\AEF"), platform::DriveC() / "Cavo25" / "AEF");
    EXPECT_EQ(dospath::ToHost("c:"), platform::DriveC());
    EXPECT_TRUE(dospath::IsMappedDrive('c'));
    EXPECT_FALSE(dospath::IsMappedDrive('D'));
}

TEST_F(DosPathTest, UnmappedDrivesUncAndEmptyPathsFail) {
    EXPECT_FALSE(dospath::ToHost("D:\\data"));
    EXPECT_FALSE(dospath::Resolve("Q:\\"));
    EXPECT_FALSE(dospath::ToHost("\\\\server\\share\\x"));
    EXPECT_FALSE(dospath::ToHost(""));
}

TEST_F(DosPathTest, DotDotNeverLeavesTheDrive) {
    EXPECT_EQ(dospath::ToHost("C:\\..\\..\\etc\\passwd"), platform::DriveC() / "etc" / "passwd");
    EXPECT_EQ(dospath::ToHost("C:\\a\\.\\b\\..\\c"), platform::DriveC() / "a" / "c");
    EXPECT_EQ(dospath::ToHost("Z:\\..\\tmp"), std::filesystem::path("/tmp"));
}

TEST_F(DosPathTest, RelativePathsFollowTheWorkingDirectory) {
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(Scratch());
    EXPECT_EQ(dospath::ToHost("sub\\file.txt"), Scratch() / "sub" / "file.txt");
    EXPECT_EQ(dospath::ToHost("\\tmp"), std::filesystem::path("/tmp"));
    std::filesystem::current_path(previous);
}

TEST_F(DosPathTest, ExistingComponentsAreFoundIgnoringCase) {
    WriteFile(Scratch() / "Sources" / "app.prg", "x");
    auto resolved = dospath::Resolve(ScratchDos("SOURCES\\App.Prg"));
    ASSERT_TRUE(resolved);
    EXPECT_EQ(*resolved, Scratch() / "Sources" / "app.prg");

    // What does not exist keeps the case it was given, below the part that was found.
    resolved = dospath::Resolve(ScratchDos("sources\\New\\File.TXT"));
    ASSERT_TRUE(resolved);
    EXPECT_EQ(*resolved, Scratch() / "Sources" / "New" / "File.TXT");
}

TEST_F(DosPathTest, AnExactNameWinsOverOthersDifferingInCase) {
    WriteFile(Scratch() / "A.txt", "upper");
    WriteFile(Scratch() / "a.txt", "lower");
    WriteFile(Scratch() / "b.TXT", "");
    WriteFile(Scratch() / "B.txt", "");
    EXPECT_EQ(*dospath::Resolve(ScratchDos("a.txt")), Scratch() / "a.txt");
    // No exact match: the first in sorted order, whatever order the folder lists them in.
    EXPECT_EQ(*dospath::Resolve(ScratchDos("b.txt")), Scratch() / "B.txt");
}

TEST_F(DosPathTest, HostPathsEnterInDosForm) {
    EXPECT_EQ(dospath::FromHost("/home/ann/x"), "Z:\\home\\ann\\x");
    EXPECT_EQ(dospath::FromHost("/"), "Z:\\");
    EXPECT_EQ(dospath::FromHost(platform::DriveC() / "Cavo25" / "Bin"), "C:\\Cavo25\\Bin");
    EXPECT_EQ(dospath::FromHost(platform::DriveC()), "C:\\");
    EXPECT_EQ(dospath::FromHost("/tmp/a/"), "Z:\\tmp\\a");

    EXPECT_EQ(dospath::ToDos("/home/ann/x"), "Z:\\home\\ann\\x");
    EXPECT_EQ(dospath::ToDos("C:/Cavo25/AEF"), "C:\\Cavo25\\AEF");
    EXPECT_EQ(dospath::ToDos("D:\\x"), "D:\\x");
    EXPECT_EQ(dospath::ToDos("rel/name"), "rel\\name");
}

// Whatever form a person types, the program gets one absolute DOS path.
TEST_F(DosPathTest, TypedPathsResolveFromTheWorkingFolder) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::create_directories(Scratch() / "work");
    std::filesystem::current_path(Scratch() / "work");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"out", ScratchDos("work\\out")},
        {" out/sub\\x.aef ", ScratchDos("work\\out\\sub\\x.aef")},
        {"./a/../b", ScratchDos("work\\b")},
        {"..", ScratchDos()},
        {"\\tmp\\x", "Z:\\tmp\\x"},
        {"/home/ann/x", "Z:\\home\\ann\\x"},
        {"C:/Cavo25", "C:\\Cavo25"},
        {"D:\\x", "D:\\x"},
        {"", ""},
        // Typed in a window (Windows-1252) or at a terminal (UTF-8): the same DOS path.
        {"M\xFCller", ScratchDos("work\\M\xFCller")},
        {"M\xC3\xBCller/x", ScratchDos("work\\M\xFCller\\x")},
        {"Z:\\tmp\\M\xC3\xBCller", "Z:\\tmp\\M\xFCller"},
    };
    std::vector<std::string> got;
    for (const auto& [typed, expected] : cases)
        got.push_back(dospath::FromTyped(typed));
    std::filesystem::current_path(before);
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(got[i], cases[i].second) << cases[i].first;
}

// Inside, a name is Windows-1252; on the host, UTF-8. What the code page cannot hold, and what
// would read as another UTF-8 name, keeps its host bytes; every host name comes back unchanged.
TEST_F(DosPathTest, NamesAreWindows1252InsideAndUtf8OnTheHost) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"a b", "a b"},
        {"M\xC3\xBCller \xE2\x82\xAC", "M\xFCller \x80"},         // ü and the euro sign
        {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"}, // no Windows-1252 byte
        {"\xC3\x83\xC2\xBC", "\xC3\x83\xC2\xBC"},                 // "Ã¼": its bytes would read as "ü"
    };
    for (const auto& [host, dos] : cases) {
        EXPECT_EQ(dospath::FromHost(Scratch() / host / "c.d"), ScratchDos(dos + "\\c.d")) << host;
        EXPECT_EQ(dospath::ToHost(ScratchDos(dos)), Scratch() / host) << host;
    }
    for (std::filesystem::path host : {platform::DriveC() / "x", std::filesystem::path("/")})
        EXPECT_EQ(dospath::ToHost(dospath::FromHost(host)), host);

    // A folder another program named in Windows-1252 bytes is still found under them.
    std::filesystem::create_directories(Scratch() / "Alt\xE9" / "sub");
    EXPECT_EQ(dospath::Resolve(ScratchDos("Alt\xE9\\SUB\\new.txt")), Scratch() / "Alt\xE9" / "sub" / "new.txt");
    EXPECT_EQ(dospath::Resolve(ScratchDos("Neu\xE9")), Scratch() / "Neu\xC3\xA9");
}

TEST(PlatformHome, KivHomeMovesEverything) {
    std::string before = std::getenv("KIV_HOME") ? std::getenv("KIV_HOME") : "";
    setenv("KIV_HOME", "/tmp/somewhere-else", 1);
    EXPECT_EQ(platform::Home(), std::filesystem::path("/tmp/somewhere-else"));
    EXPECT_EQ(platform::DriveC(), std::filesystem::path("/tmp/somewhere-else/drive_c"));
    unsetenv("KIV_HOME");
    setenv("XDG_DATA_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(platform::Home(), std::filesystem::path("/tmp/xdg/kiv"));
    unsetenv("XDG_DATA_HOME");
    if (!before.empty())
        setenv("KIV_HOME", before.c_str(), 1);
}
