#include "support/KivIniFile.h"
#include "common/KivTestHome.h"
#include "platform/KivPlatformHome.h"
#include "support/KivWinIniFile.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

namespace {

struct stat StatOf(const fs::path& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

// Another process's change shows once the coarse clock has moved on.
void NextTick() {
    timespec start{}, now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &start);
    do {
        ::usleep(500);
        clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    } while (now.tv_sec == start.tv_sec && now.tv_nsec == start.tv_nsec);
}

bool SameTimes(const struct stat& a, const struct stat& b) {
    return a.st_ino == b.st_ino && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Makes a folder immutable, which even root cannot write into; undone when the guard goes.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const fs::path& folder) : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY)) {
        int flags = 0;
        m_on = m_fd >= 0 && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0 &&
               (flags |= FS_IMMUTABLE_FL, ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0);
    }
    ~ImmutableFolder() {
        int flags = 0;
        if (m_on && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags);
        }
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool On() const { return m_on; }

private:
    int m_fd;
    bool m_on = false;
};

} // namespace

class IniFileTest : public KivTestHome {
protected:
    fs::path Host(const std::string& name) const { return Scratch() / name; }
};

TEST_F(IniFileTest, MissingEntriesAreWrittenBackWithTheirDefault) {
    KivIniFile ini(ScratchDos("new.KEA"));
    EXPECT_EQ(ini.FullPath(), ScratchDos("new.KEA"));
    EXPECT_EQ(ini.FileName(), "new.KEA");
    EXPECT_EQ(ini.GetSections(), Strings{}); // no file yet
    EXPECT_EQ(ini.GetString("APP", "Name"), "");
    EXPECT_EQ(ReadFile(Host("new.KEA")), "[APP]\r\nName= \r\n");
    EXPECT_EQ(ini.GetString("app", "Desc", "text   "), "text");
    EXPECT_EQ(ini.GetInt("APP", "Count", -7), -7);
    EXPECT_EQ(ReadFile(Host("new.KEA")), "[APP]\r\nName= \r\nDesc=text   \r\nCount=-7\r\n");
    EXPECT_EQ(ini.GetSection("APP"), (std::vector<std::pair<std::string, KivUsual>>{
                                         {"Name", ""}, {"Desc", "text"}, {"Count", "-7"}}));
    EXPECT_EQ(ini.GetEntries("App"), (Strings{"Name", "Desc", "Count"}));
}

TEST_F(IniFileTest, ReadingExistingEntriesLeavesTheFileAlone) {
    const std::string text =
        "; exported\n[APP]\nName=Demo  \nCount=12 files\nLong=" + std::string(3000, 'L') +
        "\n\n[Module001]\nName=M1";
    WriteFile(Host("a.kea"), text);
    struct stat before = StatOf(Host("a.kea"));
    KivIniFile ini(ScratchDos("A.KEA")); // found ignoring case
    EXPECT_EQ(ini.GetString("APP", "Name"), "Demo");
    EXPECT_EQ(ini.GetInt("APP", "Count"), 12);
    EXPECT_EQ(ini.GetString("APP", "Long"), std::string(KivIniFile::kValueLimit, 'L'));
    EXPECT_EQ(ini.GetString("module001", "NAME"), "M1");
    EXPECT_EQ(ini.GetSections(), (Strings{"APP", "Module001"}));
    EXPECT_EQ(ReadFile(Host("a.kea")), text);
    EXPECT_TRUE(SameTimes(before, StatOf(Host("a.kea"))));
}

TEST_F(IniFileTest, WritesReplaceTheFileAndKeepItsRights) {
    WriteFile(Host("x.ini"), "[S]\r\nk=1\r\n");
    ::chmod(Host("x.ini").c_str(), 0640);
    fs::create_symlink(Host("x.ini"), Host("link.ini"));
    KivIniFile ini(ScratchDos("link.ini"));
    ino_t before = StatOf(Host("x.ini")).st_ino;
    EXPECT_TRUE(ini.WriteString("S", "k", "2"));
    EXPECT_NE(StatOf(Host("x.ini")).st_ino, before); // a new file took the old one's place
    EXPECT_TRUE(ini.WriteInt("T", "n", 42));
    EXPECT_TRUE(fs::is_symlink(Host("link.ini")));
    EXPECT_EQ(ReadFile(Host("x.ini")), "[S]\r\nk=2\r\n[T]\r\nn=42\r\n");
    EXPECT_EQ(StatOf(Host("x.ini")).st_mode & 0777, 0640u);
    EXPECT_TRUE(ini.DeleteEntry("S", "k"));
    EXPECT_TRUE(ini.DeleteSection("t"));
    EXPECT_EQ(ReadFile(Host("x.ini")), "[S]\r\n");
    EXPECT_FALSE(ini.WriteString("S", "k", "two\r\nlines"));
    EXPECT_EQ(std::distance(fs::directory_iterator(Scratch()), fs::directory_iterator()),
              2); // no temporaries
}

TEST_F(IniFileTest, ChangesMadeByOthersAreSeen) {
    WriteFile(Host("c.ini"), "[S]\r\nk=1\r\n");
    KivIniFile ini(ScratchDos("c.ini"));
    KivIniFile other(ScratchDos("c.ini"));
    EXPECT_EQ(ini.GetString("S", "k"), "1");
    // Same size, maybe the same stamps: the content tells.
    WriteFile(Host("c.ini"), "[S]\r\nk=2\r\n");
    NextTick();
    EXPECT_EQ(ini.GetString("S", "k"), "2");
    other.WriteString("S", "k", "3"); // in this process: seen at once
    EXPECT_EQ(ini.GetString("S", "k"), "3");
    // A write applies to the file as it is, not to the cached text.
    WriteFile(Host("c.ini"), "[S]\r\nk=4\r\nj=1\r\n");
    EXPECT_TRUE(ini.WriteString("S", "n", "5"));
    EXPECT_EQ(ReadFile(Host("c.ini")), "[S]\r\nk=4\r\nj=1\r\nn=5\r\n");
    fs::remove(Host("c.ini"));
    NextTick();
    EXPECT_EQ(ini.GetSections(), Strings{});
}

// More sections than a 2048-byte name list could hold: every one is listed.
TEST_F(IniFileTest, LargeFilesListEverySection) {
    std::string text;
    for (int i = 1; i <= 1500; ++i)
        text += "[Module" + std::to_string(i) + "]\r\nName=M" + std::to_string(i) + "\r\n";
    WriteFile(Host("big.kea"), text);
    KivIniFile ini(ScratchDos("big.kea"));
    Strings sections = ini.GetSections();
    ASSERT_EQ(sections.size(), 1500u);
    EXPECT_EQ(sections.back(), "Module1500");
    EXPECT_EQ(ini.GetString("MODULE1500", "name"), "M1500");
}

TEST_F(IniFileTest, FilesThatCannotBeWrittenAreStillRead) {
    WriteFile(Host("ro") / "info.kpi", "[APP001]\r\nName=Demo\r\n");
    KivIniFile ini(ScratchDos("ro\\info.kpi"));
    ImmutableFolder guard(Host("ro"));
    if (!guard.On())
        GTEST_SKIP() << "the file system cannot make a folder immutable";
    EXPECT_EQ(ini.GetString("APP001", "Name"), "Demo");
    EXPECT_EQ(ini.GetString("APP001", "AEF", "dflt"), "dflt");
    EXPECT_EQ(ini.GetInt("APP001", "N", 3), 3);
    EXPECT_FALSE(ini.WriteString("APP001", "AEF", "x"));
    EXPECT_EQ(ini.GetString("APP001", "AEF", "other"), "other"); // the lost write is not remembered
    EXPECT_EQ(ReadFile(Host("ro") / "info.kpi"), "[APP001]\r\nName=Demo\r\n");
}

TEST_F(IniFileTest, PlacesThatAreNoFileGiveDefaultsAndStayUntouched) {
    for (std::string path : {"D:\\x\\info.kpi", "Z:\\dev\\full", "Z:\\dev\\null"}) {
        KivIniFile ini(path);
        EXPECT_EQ(ini.GetString("S", "k", "d"), "d") << path;
        EXPECT_EQ(ini.GetSections(), Strings{});
        EXPECT_FALSE(ini.WriteString("S", "k", "v"));
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    ASSERT_EQ(::mkfifo(Host("fifo").c_str(), 0600), 0);
    EXPECT_EQ(KivIniFile(ScratchDos("fifo")).GetString("S", "k", "d"), "d"); // does not hang
    KivIniFile inFolderMissing(ScratchDos("no\\such\\folder.ini"));
    EXPECT_EQ(inFolderMissing.GetString("S", "k", "d"), "d");
    EXPECT_FALSE(fs::exists(Host("no")));
}

TEST_F(IniFileTest, TypedValues) {
    WriteFile(Host("v.ini"), "[V]\r\nYes=.t.\r\nNo=T\r\nWhen=20001014\r\nBad=2000-10-14\r\nN=  -12.75kg\r\n");
    KivIniFile ini(ScratchDos("v.ini"));
    EXPECT_EQ(ini.GetValue("V", "Yes", false), KivUsual(true));
    EXPECT_EQ(ini.GetValue("V", "No", true), KivUsual(false));
    EXPECT_EQ(ini.GetValue("V", "When", KivDate()), KivUsual(KivDate::FromYMD(2000, 10, 14)));
    EXPECT_TRUE(std::get<KivDate>(ini.GetValue("V", "Bad", KivDate())).IsNull());
    EXPECT_EQ(ini.GetValue("V", "N", int64_t{0}), KivUsual(int64_t{-12}));
    EXPECT_EQ(ini.GetValue("V", "N", 0.0), KivUsual(-12.75));
    EXPECT_EQ(ini.GetValue("V", "Yes", 1.5), KivUsual(0.0));
    EXPECT_EQ(ini.GetValue("V", "When", std::string(" "), KivUsualType::Integer),
              KivUsual(int64_t{20001014}));
    EXPECT_EQ(ini.GetValue("V", "No", KivUsual()), KivUsual());
    EXPECT_EQ(ini.GetValue("V", "Yes"), KivUsual(".t."));
    EXPECT_EQ(ini.GetStringUpper("V", "Yes"), ".T.");

    // Missing entries take the default's text, a date its eight digits, so it reads back.
    EXPECT_EQ(ini.GetValue("W", "D", KivDate::FromYMD(1999, 1, 2)), KivUsual(KivDate::FromYMD(1999, 1, 2)));
    EXPECT_TRUE(ini.WriteValue("W", "When", KivDate::FromYMD(2000, 10, 14)));
    EXPECT_TRUE(ini.SetValue("W", "Lib", true));
    EXPECT_TRUE(ini.WriteValue("W", "Ratio", 0.5));
    EXPECT_TRUE(ini.WriteValue("W", "Count", int64_t{7}));
    EXPECT_EQ(ReadFile(Host("v.ini")).substr(ReadFile(Host("v.ini")).find("[W]")),
              "[W]\r\nD=19990102\r\nWhen=20001014\r\nLib=.T.\r\nRatio=0.5\r\nCount=7\r\n");
}

TEST_F(IniFileTest, WinIniLivesInTheWindowsDirectoryAndIsNeverWrittenOnReading) {
    KivWinIniFile win;
    EXPECT_EQ(win.FullPath(), "C:\\WINDOWS\\WIN.INI");
    EXPECT_EQ(win.GetString("intl", "sDate", "/"), "/");
    EXPECT_EQ(win.GetInt("intl", "iDate", 1), 1);
    EXPECT_EQ(win.GetValue("intl", "x", true), KivUsual(true));
    EXPECT_FALSE(fs::exists(kiv::platform::WindowsDir() / "WIN.INI"));
    EXPECT_TRUE(win.WriteString("intl", "sDate", "."));
    EXPECT_EQ(ReadFile(kiv::platform::WindowsDir() / "WIN.INI"), "[intl]\r\nsDate=.\r\n");
    EXPECT_EQ(win.GetString("INTL", "sdate"), ".");
    EXPECT_EQ(win.GetString("intl", "missing"), "");
    EXPECT_EQ(ReadFile(kiv::platform::WindowsDir() / "WIN.INI"), "[intl]\r\nsDate=.\r\n");

    // A bare file name lives there too, as the profile functions have it.
    KivIniFile bare("kiv.ini");
    EXPECT_EQ(bare.FullPath(), "kiv.ini");
    bare.WriteString("S", "k", "v");
    EXPECT_EQ(ReadFile(kiv::platform::WindowsDir() / "kiv.ini"), "[S]\r\nk=v\r\n");
}
