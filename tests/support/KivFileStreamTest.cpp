#include "support/KivFileStream.h"
#include "common/KivTestHome.h"
#include "support/KivStreamError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class FileStreamTest : public KivTestHome {};

TEST_F(FileStreamTest, CreatesWritesSeeksAndReadsANamedFile) {
    KivFileStream stream(ScratchDos("data.bin"));
    EXPECT_EQ(stream.Handle(), -1);
    ASSERT_TRUE(stream.Create());
    EXPECT_GE(stream.Handle(), 0);
    EXPECT_EQ(stream.Write("hello world", 11), 11);
    EXPECT_EQ(stream.Size(), 11);
    EXPECT_EQ(stream.Position(), 11);
    EXPECT_EQ(stream.Seek(6, 0), 6);
    char buffer[16] = {};
    EXPECT_EQ(stream.Read(buffer, 16), 5);
    EXPECT_EQ(std::string(buffer, 5), "world");
    EXPECT_EQ(stream.Seek(-5, 2), 6);
    EXPECT_EQ(stream.Seek(-1, 1), 5);
    EXPECT_EQ(stream.Seek(-6, 1), -1);
    EXPECT_EQ(stream.Seek(0, 9), -1);
    stream.Close();
    EXPECT_EQ(stream.Handle(), -1);
    EXPECT_EQ(ReadFile(Scratch() / "data.bin"), "hello world");

    // Found ignoring case; a read-only handle takes no writes.
    KivFileStream reader(KivFileSpec(ScratchDos("DATA.BIN")));
    ASSERT_TRUE(reader.Open());
    EXPECT_EQ(reader.GetSize(), 11);
    EXPECT_EQ(reader.Write("x", 1), 0);
    EXPECT_THROW(reader.WriteBuffer("x", 1), KivWriteStreamError);
    reader.ReadBuffer(buffer, 11);
    EXPECT_THROW(reader.ReadBuffer(buffer, 1), KivReadStreamError);
    // Open again starts afresh on a new handle.
    ASSERT_TRUE(reader.Open(2));
    EXPECT_EQ(reader.Position(), 0);
    EXPECT_EQ(reader.Write("J", 1), 1);
    reader.Close();
    reader.Close();
    EXPECT_EQ(ReadFile(Scratch() / "data.bin"), "Jello world");
}

TEST_F(FileStreamTest, FilesThatCannotBeOpenedLeaveNoHandle) {
    std::filesystem::create_directories(Scratch() / "folder");
    WriteFile(Scratch() / "plain", "x");
    for (const std::string& name : {ScratchDos("missing.bin"), ScratchDos("folder"),
                                    ScratchDos("plain\\inside"), std::string("D:\\data.bin")}) {
        KivFileStream stream(name);
        EXPECT_FALSE(stream.Open()) << name;
        EXPECT_EQ(stream.Handle(), -1) << name;
        char c;
        EXPECT_EQ(stream.Read(&c, 1), 0) << name;
        EXPECT_EQ(stream.Write("x", 1), 0) << name;
        EXPECT_EQ(stream.Seek(0, 0), -1) << name;
        EXPECT_THROW(stream.ReadBuffer(&c, 1), KivReadStreamError) << name;
    }
    EXPECT_FALSE(KivFileStream(ScratchDos("folder")).Create());
    EXPECT_FALSE(KivFileStream(ScratchDos("no\\such\\file")).Create());
    EXPECT_FALSE(KivFileStream(ScratchDos("x")).Open(3));
}

TEST_F(FileStreamTest, TheFileIsClosedWithTheObject) {
    int handle = -1;
    {
        KivFileStream stream(ScratchDos("closed.bin"));
        ASSERT_TRUE(stream.Create());
        handle = static_cast<int>(stream.Handle());
        EXPECT_NE(::fcntl(handle, F_GETFD), -1);
    }
    EXPECT_EQ(::fcntl(handle, F_GETFD), -1);
}

TEST_F(FileStreamTest, HandleStreamUsesAHandleItDoesNotOwn) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    {
        KivHandleStream writer(fds[1]);
        EXPECT_EQ(writer.Handle(), fds[1]);
        writer.WriteBuffer("abc", 3);
        // A pipe cannot seek: no position and no size.
        EXPECT_EQ(writer.Seek(0, 1), -1);
        EXPECT_EQ(writer.GetSize(), -1);
    }
    ASSERT_EQ(::close(fds[1]), 0);
    KivHandleStream reader(fds[0]);
    char buffer[8];
    EXPECT_EQ(reader.Read(buffer, 8), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    EXPECT_EQ(reader.Read(buffer, 8), 0);
    ::close(fds[0]);

    for (intptr_t handle : {intptr_t{-1}, intptr_t{1} << 40, intptr_t{9999}}) {
        KivHandleStream none(handle);
        EXPECT_EQ(none.Read(buffer, 1), 0) << handle;
        EXPECT_EQ(none.Write("x", 1), 0) << handle;
        EXPECT_EQ(none.Seek(0, 0), -1) << handle;
    }
    EXPECT_EQ(KivHandleStream().Handle(), -1);
}
