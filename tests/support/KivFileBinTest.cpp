#include "support/KivFileBin.h"
#include "common/KivTestHome.h"
#include "platform/KivOsError.h"

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <vector>

namespace {

// Records the size of every block written, to see how CopyFrom cuts its copy.
class BlockSpy : public KivFileBin {
public:
    using KivFileBin::KivFileBin;
    uint32_t WriteBlock(const void* buffer, uint32_t count) override {
        m_blocks.push_back(count);
        return KivFileBin::WriteBlock(buffer, count);
    }
    std::vector<uint32_t> m_blocks;
};

} // namespace

// Every test runs in central European time, whatever the machine's zone.
class FileBinTest : public KivTestHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        if (const char* tz = std::getenv("TZ"))
            m_previousTZ = tz;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    }
    void TearDown() override {
        if (m_previousTZ)
            setenv("TZ", m_previousTZ->c_str(), 1);
        else
            unsetenv("TZ");
        KivTestHome::TearDown();
    }

    // A file of the given bytes in the scratch folder, opened read-only.
    std::unique_ptr<KivFileBin> OpenWith(const std::string& bytes, const std::string& name = "data.bin") {
        WriteFile(Scratch() / name, bytes);
        auto file = std::make_unique<KivFileBin>(ScratchDos(name));
        EXPECT_TRUE(file->Open());
        return file;
    }

    std::vector<std::string> AllLines(KivFileBin& file, uint32_t maximum) {
        std::vector<std::string> lines;
        while (!file.Eof() && lines.size() < 100)
            lines.push_back(file.ReadLine(maximum));
        return lines;
    }

private:
    std::optional<std::string> m_previousTZ;
};

TEST_F(FileBinTest, WritesLinesTextsAndBlocksAndKeepsTheSize) {
    KivFileBin file(ScratchDos("out.txt"));
    ASSERT_TRUE(file.Create());
    EXPECT_EQ(file.Size(), 0);
    EXPECT_EQ(file.WriteLine(""), 2u);
    EXPECT_EQ(file.Size(), 2);
    EXPECT_EQ(file.WriteLine("REGEDIT4"), 10u);
    EXPECT_EQ(file.WriteText("abcdef", 3), 3u);
    EXPECT_EQ(file.Write(std::string("x\0y", 3)), 3u);
    EXPECT_EQ(file.WriteLine("line", 2), 4u);
    EXPECT_EQ(file.WriteBuffer("\xff", 1), 1u);
    EXPECT_EQ(file.Size(), 23);
    EXPECT_EQ(file.ErrorCode(), 0u);
    EXPECT_FALSE(file.Error());
    EXPECT_EQ(file.ErrString(), "");
    file.Close();
    EXPECT_EQ(ReadFile(Scratch() / "out.txt"), std::string("\r\nREGEDIT4\r\nabcx\0yli\r\n\xff", 23));

    // Create again truncates.
    ASSERT_TRUE(file.Create());
    EXPECT_EQ(file.Size(), 0);
}

TEST_F(FileBinTest, CloseIsFinalAndHarmlessTwice) {
    auto file = OpenWith("12345");
    EXPECT_EQ(file->Size(), 5);
    EXPECT_GE(file->Handle(), 0);
    file->Close();
    EXPECT_FALSE(file->IsOpen());
    EXPECT_EQ(file->Size(), 0);
    EXPECT_EQ(file->Handle(), -1);
    EXPECT_EQ(file->ErrorCode(), 0u);
    file->Close();
    file->Destroy();
    EXPECT_EQ(file->ErrorCode(), 0u);
    // Open again, and Open on an open file starts afresh.
    ASSERT_TRUE(file->Open());
    file->ReadStr(3);
    ASSERT_TRUE(file->Open());
    EXPECT_EQ(file->Tell(), 0);
}

TEST_F(FileBinTest, EveryOperationOnAClosedFileGivesInvalidHandle) {
    KivFileBin file(ScratchDos("never.txt"));
    char buffer[4];
    std::string text = "abc";
    auto expect6 = [&](const char* what) {
        EXPECT_EQ(file.ErrorCode(), kiv::oserror::kInvalidHandle) << what;
        file.Seek(0); // still closed: must not clear the code either
        EXPECT_EQ(file.ErrorCode(), kiv::oserror::kInvalidHandle) << what;
    };
    EXPECT_EQ(file.ReadLine(), "");
    expect6("ReadLine");
    EXPECT_EQ(file.ReadStr(3), "");
    expect6("ReadStr");
    EXPECT_EQ(file.Read(text), 0u);
    EXPECT_EQ(text, "");
    expect6("Read");
    EXPECT_EQ(file.ReadBlock(buffer, 4), 0u);
    EXPECT_EQ(file.ReadByte(), 0);
    EXPECT_EQ(file.ReadLong(), 0);
    expect6("typed reads");
    EXPECT_EQ(file.WriteLine("x"), 0u);
    expect6("WriteLine");
    EXPECT_EQ(file.Tell(), 0);
    EXPECT_EQ(file.GoBottom(), 0);
    file.Commit();
    expect6("Commit");
    KivFileBin other(ScratchDos("other.txt"));
    EXPECT_EQ(file.CopyFrom(other), 0);
    expect6("CopyFrom");
    EXPECT_EQ(file.ErrString(), "The handle is invalid.");
    EXPECT_TRUE(file.Eof());
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "never.txt"));
}

TEST_F(FileBinTest, OpenFailuresCarryWindowsErrorNumbers) {
    WriteFile(Scratch() / "plain.txt", "x");
    std::filesystem::create_directories(Scratch() / "folder");
    struct Case {
        std::string path;
        bool create;
        uint32_t code;
    };
    for (const Case& c : {Case{ScratchDos("missing.txt"), false, kiv::oserror::kFileNotFound},
                          Case{ScratchDos("nodir\\missing.txt"), false, kiv::oserror::kPathNotFound},
                          Case{ScratchDos("nodir\\new.txt"), true, kiv::oserror::kPathNotFound},
                          Case{ScratchDos("plain.txt\\sub.txt"), true, kiv::oserror::kPathNotFound},
                          Case{ScratchDos("folder"), false, kiv::oserror::kAccessDenied},
                          Case{ScratchDos("folder"), true, kiv::oserror::kAccessDenied},
                          Case{"D:\\data\\file.txt", false, kiv::oserror::kPathNotFound},
                          Case{"D:\\data\\file.txt", true, kiv::oserror::kPathNotFound},
                          Case{"", false, kiv::oserror::kPathNotFound}}) {
        KivFileBin file(c.path);
        EXPECT_FALSE(c.create ? file.Create() : file.Open()) << c.path;
        EXPECT_EQ(file.ErrorCode(), c.code) << c.path;
        EXPECT_EQ(file.ErrString(), kiv::oserror::Text(c.code)) << c.path;
        EXPECT_FALSE(file.IsOpen());
    }
    KivFileBin file(ScratchDos("plain.txt"));
    EXPECT_FALSE(file.Open(3)) << "no such access mode";
    EXPECT_EQ(file.ErrorCode(), kiv::oserror::kInvalidParameter);
}

TEST_F(FileBinTest, FileIsFoundIgnoringCase) {
    WriteFile(Scratch() / "Sources" / "app.prg", "FUNCTION Start()\r\n");
    KivFileBin file(ScratchDos("SOURCES\\App.Prg"));
    EXPECT_TRUE(file.Exist());
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(file.ReadLine(), "FUNCTION Start()");
    // Renaming through FileSpec reaches the next Open.
    file.FileSpec().Extension("log");
    EXPECT_FALSE(file.Open());
    EXPECT_EQ(file.ErrorCode(), kiv::oserror::kFileNotFound);
    EXPECT_FALSE(KivFileBin(ScratchDos("Sources")).Exist());
    EXPECT_FALSE(KivFileBin(ScratchDos("none.prg")).Exist());
}

TEST_F(FileBinTest, TypedReadsAreLittleEndian) {
    auto file = OpenWith(std::string("\xff\xff\xff\xff\x01\x02\x03\x04\xfe\xff\x80\xab\xcd\xef", 14));
    EXPECT_EQ(file->ReadLong(), -1);
    file->GoTop();
    EXPECT_EQ(file->ReadDWord(), 4294967295u);
    EXPECT_EQ(file->ReadDWord(), 0x04030201u);
    EXPECT_EQ(file->ReadShort(), -2);
    file->Seek(-2, 1);
    EXPECT_EQ(file->ReadWord(), 0xFFFEu);
    EXPECT_EQ(file->ReadByte(), 0x80);
    // Three bytes left: a four-byte value is not there, and nothing is consumed.
    EXPECT_EQ(file->ReadDWord(), 0u);
    EXPECT_EQ(file->ErrorCode(), KivFileBin::kEofReached);
    EXPECT_EQ(file->Tell(), 11);
    EXPECT_EQ(file->ReadStr(10), "\xab\xcd\xef");
    EXPECT_EQ(file->ErrorCode(), 0u);
}

TEST_F(FileBinTest, ReadsAtAndPastTheEnd) {
    auto file = OpenWith("abcdef");
    char buffer[16];
    EXPECT_EQ(file->ReadBlock(buffer, 16), 6u) << "a short read is no error";
    EXPECT_EQ(file->ErrorCode(), 0u);
    EXPECT_TRUE(file->Eof());
    EXPECT_EQ(file->ReadStr(1), "");
    EXPECT_EQ(file->ErrorCode(), KivFileBin::kEofReached);
    EXPECT_EQ(file->ErrString(), "EOF was already reached when a read was tried");
    EXPECT_EQ(file->ReadLine(), "");
    EXPECT_EQ(file->ErrorCode(), KivFileBin::kEofReached);
    EXPECT_EQ(file->ReadByte(), 0);
    EXPECT_EQ(file->ErrorCode(), KivFileBin::kEofReached);
    EXPECT_EQ(file->ReadBlock(buffer, 0), 0u);
    EXPECT_EQ(file->ErrorCode(), 0u);
    // Beyond the end, and a huge count that must not allocate what the file does not hold.
    EXPECT_EQ(file->Seek(100), 100);
    EXPECT_EQ(file->ReadBlock(buffer, 4), 0u);
    EXPECT_EQ(file->ErrorCode(), KivFileBin::kEofReached);
    file->GoTop();
    std::string text(4, '?');
    EXPECT_EQ(file->Read(text), 4u);
    EXPECT_EQ(text, "abcd");
    EXPECT_EQ(file->Read(text, 0xFFFFFFFFu), 2u);
    EXPECT_EQ(text, "ef");
    EXPECT_EQ(file->ReadText(3), "");
    file->GoTop();
    EXPECT_EQ(file->ReadStr(0), "");
    EXPECT_EQ(file->ErrorCode(), 0u);
}

struct LineCase {
    const char* name;
    std::string bytes;
    uint32_t maximum;
    std::vector<std::string> lines;
};

class FileBinLines : public FileBinTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(FileBinLines, SplitsAtLineEndsWithoutLosingBytes) {
    const LineCase& c = GetParam();
    auto file = OpenWith(c.bytes);
    EXPECT_EQ(AllLines(*file, c.maximum), c.lines);
    EXPECT_EQ(file->Tell(), static_cast<int64_t>(c.bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FileBinLines,
    ::testing::Values(LineCase{"CrLfAndLoneLf", "a\r\nb\nc", 256, {"a", "b", "c"}},
                      LineCase{"LoneCrStaysInTheText", "a\rb\r\r\nc\r\n", 256, {"a\rb\r", "c"}},
                      LineCase{"EmptyLines", "\r\n\n\r\n", 256, {"", "", ""}},
                      LineCase{"CrAsLastByte", "abc\r", 256, {"abc"}},
                      LineCase{"LongLineGoesOn", "abcdefgh\r\nxy", 3, {"abc", "def", "gh", "xy"}},
                      LineCase{"LineEndRightAfterMaximum", "abc\r\ndef\nghi\r", 3, {"abc", "def", "ghi"}},
                      LineCase{"CrAtTheMaximumIsText", "ab\rc\r\n", 3, {"ab\r", "c"}},
                      LineCase{"NoLineEndAtAll", "abc", 256, {"abc"}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(FileBinTest, LinesAcrossTheReadBuffer) {
    // The CR of the first line is the buffer's last byte, its LF the first of the next fill.
    const std::string first(65535, 'x');
    const std::string second(70000, 'y');
    auto file = OpenWith(first + "\r\n" + second + "\r\n" + "tail");
    EXPECT_EQ(file->ReadLine(100000), first);
    EXPECT_EQ(file->Tell(), 65537);
    EXPECT_EQ(file->ReadLine(100000), second);
    EXPECT_EQ(file->ReadLine(100000), "tail");
    EXPECT_TRUE(file->Eof());
    file->GoTop();
    EXPECT_EQ(file->ReadLine(65535), first) << "with the line end right after it";
    EXPECT_EQ(file->Tell(), 65537);
    file->Seek(65535);
    EXPECT_EQ(file->ReadLine(0), "") << "a line end at the position is consumed";
    EXPECT_EQ(file->Tell(), 65537);
    EXPECT_EQ(file->ReadLine(0), "") << "text is not";
    EXPECT_EQ(file->Tell(), 65537);
}

// The line rule read straight off a text: up to the first LF, a CR before it dropped; a longer
// line gives its first maximum bytes, and a line end right after them goes with them.
std::string ReferenceLine(const std::string& bytes, size_t& pos, size_t maximum) {
    const size_t lf = bytes.find('\n', pos);
    size_t end = lf == std::string::npos ? bytes.size() : lf;
    size_t next = lf == std::string::npos ? bytes.size() : lf + 1;
    if (end > pos && bytes[end - 1] == '\r')
        --end;
    if (end - pos > maximum) {
        end = next = pos + maximum;
        if (bytes.compare(next, 2, "\r\n") == 0)
            next += 2;
        else if (bytes.compare(next, 1, "\n") == 0 || (next + 1 == bytes.size() && bytes[next] == '\r'))
            next += 1;
    }
    std::string line = bytes.substr(pos, end - pos);
    pos = next;
    return line;
}

TEST_F(FileBinTest, LinesMatchTheLineRuleOnRandomText) {
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0x7FFF; };
    for (size_t maximum : {1, 2, 3, 7, 256, 70000}) {
        std::string bytes;
        while (bytes.size() < 150000) {
            const uint32_t r = next() % 100;
            bytes += r < 3 ? '\r' : r < 6 ? '\n' : r < 8 ? '\r' : 'a';
            if (r == 99)
                bytes += std::string(next() % 3000, 'b');
        }
        auto file = OpenWith(bytes, "random" + std::to_string(maximum));
        size_t pos = 0;
        while (pos < bytes.size()) {
            const std::string expected = ReferenceLine(bytes, pos, maximum);
            ASSERT_EQ(file->ReadLine(static_cast<uint32_t>(maximum)), expected) << "max " << maximum;
            ASSERT_EQ(file->Tell(), static_cast<int64_t>(pos)) << "max " << maximum;
        }
        EXPECT_TRUE(file->Eof());
    }
}

TEST_F(FileBinTest, WritesAndSeeksActAtTheLogicalPosition) {
    WriteFile(Scratch() / "mixed.txt", "one\r\ntwo\r\nthree\r\n");
    KivFileBin file(ScratchDos("mixed.txt"));
    ASSERT_TRUE(file.Open(KivFileBin::kReadWrite));
    EXPECT_EQ(file.ReadLine(), "one");
    EXPECT_EQ(file.Position(), 5);
    EXPECT_EQ(lseek(file.Handle(), 0, SEEK_CUR), 5) << "the handle's own offset follows";
    EXPECT_EQ(file.WriteText("TWO"), 3u);
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_EQ(file.ReadLine(), "three");
    EXPECT_EQ(file.GoTop(), 0);
    EXPECT_EQ(file.ReadLine(), "one");
    EXPECT_EQ(file.ReadLine(), "TWO") << "a write replaces what was buffered";
    EXPECT_EQ(file.GoBottom(), 17);
    EXPECT_EQ(file.WriteLine("four"), 6u);
    EXPECT_EQ(file.Size(), 23);
    EXPECT_EQ(file.Seek(-6, 2), 17);
    EXPECT_EQ(file.ReadLine(), "four");
    EXPECT_EQ(file.Goto(10), 10);
    EXPECT_EQ(file.Position(3), 3);
    EXPECT_EQ(file.Rewind(), 0);
    EXPECT_EQ(file.Seek(-1), -1);
    EXPECT_EQ(file.ErrorCode(), kiv::oserror::kInvalidParameter);
    EXPECT_EQ(file.Seek(1, 7), -1);
    EXPECT_EQ(file.ErrorCode(), kiv::oserror::kInvalidParameter);
    EXPECT_EQ(file.Tell(), 0);
    file.Commit();
    EXPECT_EQ(file.ErrorCode(), 0u);
    file.Close();
    EXPECT_EQ(ReadFile(Scratch() / "mixed.txt"), "one\r\nTWO\r\nthree\r\nfour\r\n");
}

TEST_F(FileBinTest, FailedWritesAreNeverReportedAsSuccess) {
    KivFileBin full("Z:\\dev\\full");
    ASSERT_TRUE(full.Open(KivFileBin::kWrite));
    EXPECT_EQ(full.WriteLine("lost"), 0u);
    EXPECT_EQ(full.ErrorCode(), KivFileBin::kDiskFull);
    EXPECT_EQ(full.ErrString(), "Disk Full");
    EXPECT_TRUE(full.Error());
    EXPECT_EQ(full.WriteLine(""), 0u);
    EXPECT_EQ(full.ErrorCode(), KivFileBin::kDiskFull);
    auto source = OpenWith(std::string(1000, 'a'));
    EXPECT_EQ(full.CopyFrom(*source), 0);
    EXPECT_EQ(full.ErrorCode(), KivFileBin::kDiskFull);

    // Writing through a handle opened for reading only.
    EXPECT_EQ(source->WriteText("x"), 0u);
    EXPECT_EQ(source->ErrorCode(), kiv::oserror::kAccessDenied);
}

TEST_F(FileBinTest, CopyFromGoesInBlocksOf32000FromTheSourcePosition) {
    std::string bytes(70000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    auto source = OpenWith(bytes);
    BlockSpy target(ScratchDos("copy.bin"));
    ASSERT_TRUE(target.Create());
    EXPECT_EQ(target.CopyFrom(*source), 70000);
    EXPECT_EQ(target.m_blocks, (std::vector<uint32_t>{32000, 32000, 6000}));
    EXPECT_EQ(target.ErrorCode(), 0u);
    EXPECT_EQ(target.Size(), 70000);

    source->Seek(69990);
    target.m_blocks.clear();
    EXPECT_EQ(target.CopyFrom(*source), 10);
    EXPECT_EQ(target.m_blocks, (std::vector<uint32_t>{10}));
    target.Close();
    EXPECT_EQ(ReadFile(Scratch() / "copy.bin"), bytes + bytes.substr(69990));

    ASSERT_TRUE(target.Open(KivFileBin::kReadWrite));
    EXPECT_EQ(target.CopyFrom(target), 0);
    EXPECT_EQ(target.ErrorCode(), kiv::oserror::kInvalidParameter);
    source->Close();
    EXPECT_EQ(target.CopyFrom(*source), 0);
    EXPECT_EQ(target.ErrorCode(), kiv::oserror::kInvalidHandle);
}

TEST_F(FileBinTest, ChangeMomentIsSetInLocalTime) {
    const auto host = Scratch() / "stamp.txt";
    WriteFile(host, "x");
    KivFileBin file(ScratchDos("STAMP.TXT"));
    auto mtime = [&] {
        struct stat st {};
        stat(host.c_str(), &st);
        return static_cast<int64_t>(st.st_mtime);
    };
    // Closed: the file is stamped without being left open.
    EXPECT_EQ(file.DateChanged(KivDate::FromYMD(2024, 7, 15)), KivDate::FromYMD(2024, 7, 15));
    EXPECT_EQ(file.TimeChanged("13:45:31"), "13:45:30");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(mtime(), 1721043930) << "2024-07-15 11:45:30 UTC (CEST)";
    EXPECT_EQ(file.DateChanged(), KivDate::FromYMD(2024, 7, 15));

    // Open: through the handle; winter time is one hour from UTC.
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(file.DateChanged(KivDate::FromYMD(2024, 1, 15)), KivDate::FromYMD(2024, 1, 15));
    EXPECT_EQ(file.TimeChanged(), "13:45:30");
    EXPECT_EQ(mtime(), 1705322730) << "2024-01-15 12:45:30 UTC (CET)";
    EXPECT_EQ(file.ErrorCode(), 0u);

    // A date the packed form cannot hold leaves the file as it was.
    EXPECT_EQ(file.DateChanged(KivDate::FromYMD(1979, 12, 31)), KivDate::FromYMD(2024, 1, 15));
    EXPECT_EQ(file.ErrorCode(), kiv::oserror::kInvalidParameter);
    EXPECT_EQ(mtime(), 1705322730);

    KivFileBin missing(ScratchDos("missing.txt"));
    EXPECT_EQ(missing.TimeChanged("10:00:00"), "");
    EXPECT_EQ(missing.ErrorCode(), kiv::oserror::kFileNotFound);
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "missing.txt"));
}

TEST_F(FileBinTest, AFifoNeitherHangsTheOpenNorPretendsToRead) {
    ASSERT_EQ(mkfifo((Scratch() / "pipe").c_str(), 0600), 0);
    KivFileBin file(ScratchDos("pipe"));
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_TRUE(file.Error());
    EXPECT_NE(file.ErrorCode(), KivFileBin::kEofReached);
}
