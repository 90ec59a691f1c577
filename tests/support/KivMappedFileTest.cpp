#include "support/KivMappedFile.h"
#include "common/KivTestHome.h"
#include "platform/KivOsError.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <limits>
#include <memory>

using namespace std::string_literals;

class MappedFileTest : public KivTestHome {
protected:
    std::unique_ptr<KivMappedFile> Mapped(const std::string& bytes, const std::string& name = "mapped.txt") {
        WriteFile(Scratch() / name, bytes);
        auto file = std::make_unique<KivMappedFile>(ScratchDos(name));
        EXPECT_TRUE(file->Open());
        EXPECT_EQ(file->ErrorCode(), 0u);
        return file;
    }
};

TEST_F(MappedFileTest, LinesEndAtCrLfOnly) {
    auto file = Mapped("one\r\ntwo\rthree\nfour\r\n\r\nlast\r");
    EXPECT_EQ(file->Size(), 28);
    EXPECT_EQ(file->ReadLine(), "one");
    EXPECT_EQ(file->Position(), 5);
    EXPECT_EQ(file->ReadLine(), "two\rthree\nfour");
    EXPECT_EQ(file->ReadLine(), "");
    EXPECT_FALSE(file->Eof());
    EXPECT_EQ(file->ReadLine(), "last\r");
    EXPECT_EQ(file->ErrorCode(), 0u);
    EXPECT_TRUE(file->Eof());
    EXPECT_EQ(file->ReadLine(), "");
    EXPECT_EQ(file->ErrorCode(), KivFileBin::kEofReached);
}

TEST_F(MappedFileTest, ALongLineComesInPiecesOfTheMaximum) {
    const std::string a300(300, 'a');
    auto file = Mapped(a300 + "\r\n" + std::string(256, 'b') + "\r\n" + "abc\r\nabcd\r\nabcde\r\nz");
    EXPECT_EQ(file->ReadLine(), std::string(256, 'a'));
    EXPECT_EQ(file->ReadLine(), std::string(44, 'a'));
    // Exactly the maximum, then the line end: one line, not one and an empty one.
    EXPECT_EQ(file->ReadLine(), std::string(256, 'b'));
    EXPECT_EQ(file->ReadLine(4), "abc");
    EXPECT_EQ(file->ReadLine(4), "abcd");
    EXPECT_EQ(file->ReadLine(4), "abcd");
    EXPECT_EQ(file->ReadLine(4), "e");
    EXPECT_EQ(file->ReadLine(0), "");
    EXPECT_EQ(file->ReadLine(1), "z");
    EXPECT_TRUE(file->Eof());
}

TEST_F(MappedFileTest, ReadsCopyUpToTheEndAndNoFurther) {
    auto file = Mapped("0123456789");
    EXPECT_EQ(file->ReadStr(4), "0123");
    std::string text;
    EXPECT_EQ(file->Read(text, 100), 6u);
    EXPECT_EQ(text, "456789");
    EXPECT_TRUE(file->Eof());
    EXPECT_EQ(file->ReadText(1), "");
    EXPECT_EQ(file->ErrorCode(), KivFileBin::kEofReached);

    char buffer[8] = {};
    file->Goto(7);
    EXPECT_EQ(file->ReadBlock(buffer, 8), 3u);
    EXPECT_EQ(std::string(buffer, 3), "789");
    file->Goto(1);
    EXPECT_EQ(file->ReadBuffer(buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "12");
    EXPECT_EQ(file->ReadBlock(nullptr, 2), 0u);
    EXPECT_EQ(file->ErrorCode(), kiv::oserror::kInvalidParameter);
    text = "abc";
    EXPECT_EQ(file->Read(text), 3u);
    EXPECT_EQ(text, "345");

    // Typed reads that do not fit leave the position where it was.
    file->Goto(8);
    EXPECT_EQ(file->ReadDWord(), 0u);
    EXPECT_EQ(file->ErrorCode(), KivFileBin::kEofReached);
    EXPECT_EQ(file->Tell(), 8);
    EXPECT_EQ(file->ReadWord(), 0x3938);
    EXPECT_EQ(file->ReadByte(), 0);
    EXPECT_EQ(file->Tell(), 10);
}

TEST_F(MappedFileTest, SeekStaysWithinTheFile) {
    auto file = Mapped("0123456789");
    EXPECT_EQ(file->Seek(-5, 0), 0);
    EXPECT_EQ(file->Seek(100, 0), 10);
    EXPECT_EQ(file->Seek(-3, 2), 7);
    EXPECT_EQ(file->Seek(1, 1), 8);
    EXPECT_EQ(file->Seek(std::numeric_limits<int64_t>::max(), 1), 10);
    EXPECT_EQ(file->Seek(std::numeric_limits<int64_t>::min(), 1), 0);
    EXPECT_EQ(file->Seek(5, 2), 10);
    EXPECT_EQ(file->Seek(1, 7), -1);
    EXPECT_EQ(file->ErrorCode(), kiv::oserror::kInvalidParameter);
    EXPECT_EQ(file->Tell(), 10);
    EXPECT_EQ(file->GoTop(), 0);
    EXPECT_EQ(file->GoBottom(), 10);
    EXPECT_EQ(file->Rewind(), 0);
    EXPECT_EQ(file->Position(4), 4);
    EXPECT_EQ(file->Position(), 4);
    EXPECT_EQ(file->Goto(11), 10);
}

TEST_F(MappedFileTest, EveryWriteLeavesTheFileAndSets29) {
    const std::string bytes = "first\r\nsecond\r\n";
    auto file = Mapped(bytes);
    file->ReadLine();
    KivFileBin other(ScratchDos("other.txt"));
    WriteFile(Scratch() / "other.txt", "other");
    ASSERT_TRUE(other.Open());
    const std::vector<std::pair<const char*, std::function<int64_t()>>> writes = {
        {"WriteLine", [&] { return file->WriteLine("x"); }},
        {"WriteLine empty", [&] { return file->WriteLine(""); }},
        {"Write", [&] { return file->Write("x"); }},
        {"WriteText", [&] { return file->WriteText("x"); }},
        {"WriteBlock", [&] { return file->WriteBlock("x", 1); }},
        {"WriteBuffer", [&] { return file->WriteBuffer("x", 1); }},
        {"CopyFrom", [&] { return file->CopyFrom(other); }},
        {"Create", [&] { return file->Create() ? 1 : 0; }},
        {"Commit",
         [&] {
             file->Commit();
             return 0;
         }},
    };
    for (const auto& [what, write] : writes) {
        EXPECT_EQ(write(), 0) << what;
        EXPECT_EQ(file->ErrorCode(), kiv::oserror::kWriteFault) << what;
        EXPECT_EQ(file->ErrString(), kiv::oserror::Text(29)) << what;
        EXPECT_TRUE(file->IsOpen()) << what;
        EXPECT_EQ(file->Size(), 15) << what;
        EXPECT_EQ(file->Tell(), 7) << what;
    }
    EXPECT_EQ(ReadFile(Scratch() / "mapped.txt"), bytes);
    EXPECT_EQ(file->ReadLine(), "second");
}

TEST_F(MappedFileTest, EmptyMissingAndUnopenedFilesReadAsNothing) {
    auto empty = Mapped("");
    EXPECT_TRUE(empty->IsOpen());
    EXPECT_EQ(empty->Size(), 0);
    EXPECT_TRUE(empty->Eof());
    EXPECT_EQ(empty->ReadLine(), "");
    EXPECT_EQ(empty->ErrorCode(), KivFileBin::kEofReached);
    EXPECT_EQ(empty->ReadStr(5), "");
    EXPECT_EQ(empty->Seek(3, 0), 0);
    empty->Close();
    EXPECT_FALSE(empty->IsOpen());

    std::filesystem::create_directories(Scratch() / "folder");
    const std::vector<std::pair<std::string, uint32_t>> cases = {
        {ScratchDos("missing.txt"), kiv::oserror::kFileNotFound},
        {ScratchDos("no\\such\\file.txt"), kiv::oserror::kPathNotFound},
        {ScratchDos("folder"), kiv::oserror::kAccessDenied},
        {"D:\\file.txt", kiv::oserror::kPathNotFound},
    };
    for (const auto& [name, code] : cases) {
        KivMappedFile file(name);
        EXPECT_FALSE(file.Open()) << name;
        EXPECT_EQ(file.ErrorCode(), code) << name;
        EXPECT_FALSE(file.IsOpen()) << name;
        EXPECT_EQ(file.Handle(), -1) << name;
        EXPECT_EQ(file.ReadLine(), "") << name;
        EXPECT_EQ(file.ErrorCode(), kiv::oserror::kInvalidHandle) << name;
        EXPECT_EQ(file.ReadStr(1), "") << name;
        EXPECT_EQ(file.Seek(1, 0), 0) << name;
        EXPECT_EQ(file.ErrorCode(), kiv::oserror::kInvalidHandle) << name;
        EXPECT_EQ(file.Tell(), 0) << name;
        EXPECT_TRUE(file.Eof()) << name;
        EXPECT_EQ(file.WriteLine("x"), 0u) << name;
        EXPECT_EQ(file.ErrorCode(), kiv::oserror::kWriteFault) << name;
    }

    // Devices and pipes have no bytes to map: they read as empty and never block.
    ASSERT_EQ(::mkfifo((Scratch() / "fifo").c_str(), 0600), 0);
    for (const std::string& name : {ScratchDos("fifo"), std::string("Z:\\dev\\zero")}) {
        KivMappedFile device(name);
        EXPECT_TRUE(device.Open()) << name;
        EXPECT_EQ(device.Size(), 0) << name;
        EXPECT_EQ(device.ReadStr(4), "") << name;
    }
}

TEST_F(MappedFileTest, OpenAgainAndCloseStartAfresh) {
    auto file = Mapped("abc\r\ndef");
    EXPECT_GE(file->Handle(), 0);
    EXPECT_EQ(file->FileHandle(), file->Handle());
    file->ReadLine();
    WriteFile(Scratch() / "mapped.txt", "longer now\r\n");
    ASSERT_TRUE(file->Open(KivFileBin::kReadWrite));
    EXPECT_EQ(file->Tell(), 0);
    EXPECT_EQ(file->Size(), 12);
    EXPECT_EQ(file->ReadLine(), "longer now");
    file->Close();
    EXPECT_EQ(file->Size(), 0);
    EXPECT_EQ(file->Handle(), -1);
    file->Close();
    file->Destroy();
    EXPECT_EQ(file->ErrorCode(), 0u);
}

// What another program does to the file while it is mapped must not end this one.
TEST_F(MappedFileTest, AFileRemovedWhileMappedStaysReadable) {
    auto file = Mapped("kept\r\nafter removal\r\n");
    std::filesystem::remove(Scratch() / "mapped.txt");
    EXPECT_EQ(file->ReadLine(), "kept");
    EXPECT_EQ(file->ReadLine(), "after removal");
    EXPECT_TRUE(file->Eof());
}

TEST_F(MappedFileTest, AFileTruncatedWhileMappedGivesAReadFaultNotACrash) {
    std::string bytes;
    while (bytes.size() < 3 * 4096)
        bytes += "line " + std::to_string(bytes.size()) + "\r\n";
    auto file = Mapped(bytes);
    const int64_t size = file->Size();
    EXPECT_EQ(file->ReadStr(4), "line");

    // The third page goes; the first two stay, the bytes past the new end of the second read as 0.
    std::filesystem::resize_file(Scratch() / "mapped.txt", 5000);
    file->Goto(9000);
    EXPECT_EQ(file->ReadStr(10), "");
    EXPECT_EQ(file->ErrorCode(), kiv::oserror::kReadFault);
    EXPECT_EQ(file->Size(), 5000);
    EXPECT_EQ(file->Tell(), 5000);
    EXPECT_TRUE(file->Eof());
    file->GoTop();
    EXPECT_EQ(file->ReadStr(6), "line 0");
    EXPECT_EQ(file->ErrorCode(), 0u);

    // Truncated to nothing: every read of the lost page fails the same way.
    char buffer[4];
    for (const auto& read : std::vector<std::function<void()>>{
             [&] { file->ReadLine(); }, [&] { file->ReadBlock(buffer, 4); }, [&] { file->ReadDWord(); }}) {
        WriteFile(Scratch() / "mapped.txt", bytes);
        ASSERT_TRUE(file->Open());
        EXPECT_EQ(file->Size(), size);
        std::filesystem::resize_file(Scratch() / "mapped.txt", 0);
        read();
        EXPECT_EQ(file->ErrorCode(), kiv::oserror::kReadFault);
        EXPECT_EQ(file->Size(), 0);
        EXPECT_TRUE(file->Eof());
    }

    // Walked in place, a lost page reads as zeros and the file tells; opened again, it does not.
    WriteFile(Scratch() / "mapped.txt", bytes);
    ASSERT_TRUE(file->Open());
    std::filesystem::resize_file(Scratch() / "mapped.txt", 5000);
    const volatile char* view = file->View().data();
    EXPECT_EQ(view[0], 'l');
    EXPECT_FALSE(file->ViewCut());
    EXPECT_EQ(view[9000], 0);
    EXPECT_TRUE(file->ViewCut());
    ASSERT_TRUE(file->Open());
    EXPECT_FALSE(file->ViewCut());
}

TEST_F(MappedFileTest, AFaultOutsideTheMappedFileStillEndsTheProgram) {
    std::string bytes(3 * 4096, 'x');
    auto file = Mapped(bytes);
    const int fd = ::open((Scratch() / "mapped.txt").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    auto* other =
        static_cast<volatile const char*>(::mmap(nullptr, bytes.size(), PROT_READ, MAP_SHARED, fd, 0));
    ASSERT_NE(other, MAP_FAILED);
    std::filesystem::resize_file(Scratch() / "mapped.txt", 0);
    EXPECT_DEATH((void)other[0], "");
    ::munmap(const_cast<char*>(other), bytes.size());
    ::close(fd);
}
