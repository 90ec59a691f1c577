#include "common/KivScriptedPrompt.h"
#include "common/KivTestHome.h"
#include "support/KivErrorHandler.h"
#include "support/KivFileStream.h"
#include "support/KivMemoryStream.h"
#include "support/KivStreamError.h"

#include <thread>
#include <vector>

namespace {

// A stream class of a program's own that brings no construction with it.
class BareStream : public KivStream {};

// Records the count of every block read from and written to it.
class RecordingStream : public KivMemoryStream {
public:
    int64_t Read(void* address, int64_t count) override {
        m_reads.push_back(count);
        return KivMemoryStream::Read(address, count);
    }
    int64_t Write(const void* address, int64_t count) override {
        m_writes.push_back(count);
        return KivMemoryStream::Write(address, count);
    }
    std::vector<int64_t> m_reads;
    std::vector<int64_t> m_writes;
};

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
}

} // namespace

TEST(StreamTest, OnlyClassesWithTheirOwnConstructionCanBeConstructed) {
    try {
        BareStream stream;
        FAIL() << "a stream class without its own construction was made";
    } catch (const KivStreamError& e) {
        EXPECT_STREQ(e.what(), "Can't create a KivStream Object");
        EXPECT_EQ(e.Error().Description, "Can't create a KivStream Object");
        EXPECT_EQ(e.Error().Operation, "Init");
        EXPECT_EQ(e.Error().Severity, 2u);
        EXPECT_NE(e.Raiser(), nullptr);
    }
    EXPECT_THROW(KivCustomMemoryStream(), KivStreamError);
    EXPECT_NO_THROW(KivMemoryStream());
    EXPECT_NO_THROW(KivHandleStream());
    EXPECT_NO_THROW(KivHandleStream(0));
    EXPECT_NO_THROW(KivFileStream("C:\\never.bin"));
}

TEST(StreamTest, CopyFromZeroCopiesTheWholeSourceFromItsStart) {
    const std::string bytes = Pattern(100000);
    RecordingStream source;
    source.LoadFromString(bytes);
    source.SetPosition(777);
    source.m_reads.clear();
    RecordingStream target;
    EXPECT_EQ(target.CopyFrom(source, 0), 100000);
    EXPECT_EQ(source.m_reads, (std::vector<int64_t>{61440, 38560}));
    EXPECT_EQ(target.m_writes, (std::vector<int64_t>{61440, 38560}));
    EXPECT_EQ(target.SaveToString(), bytes);
    EXPECT_EQ(source.GetPosition(), 100000);

    // A count copies from where the source stands, to where the target stands.
    source.SetPosition(10);
    target.SetPosition(2);
    target.m_writes.clear();
    EXPECT_EQ(target.CopyFrom(source, 5), 5);
    EXPECT_EQ(target.m_writes, (std::vector<int64_t>{5}));
    EXPECT_EQ(target.SaveToString().substr(0, 8),
              bytes.substr(0, 2) + bytes.substr(10, 5) + bytes.substr(7, 1));
    EXPECT_EQ(target.GetSize(), 100000);
    EXPECT_EQ(target.GetPosition(), 7);

    // Nothing for a negative count; an empty source copies nothing whole.
    EXPECT_EQ(target.CopyFrom(source, -1), 0);
    KivMemoryStream empty;
    EXPECT_EQ(target.CopyFrom(empty, 0), 0);
    EXPECT_EQ(target.GetSize(), 100000);
}

TEST(StreamTest, ShortTransfersRaiseWithTheStreamThatFailed) {
    KivMemoryStream source;
    source.LoadFromString(Pattern(100));
    KivMemoryStream target;
    try {
        target.CopyFrom(source, 200);
        FAIL() << "a copy of more than the source holds went through";
    } catch (const KivReadStreamError& e) {
        EXPECT_EQ(e.Raiser(), &source);
        EXPECT_EQ(e.Error().Description, "Can't Read enough bytes to fill buffer");
        EXPECT_EQ(e.Error().Operation, "ReadBuffer");
        EXPECT_EQ(e.Error().Severity, 2u);
    }
    EXPECT_EQ(target.GetSize(), 0);

    char buffer[8];
    source.SetPosition(96);
    EXPECT_THROW(source.ReadBuffer(buffer, 8), KivReadStreamError);
    source.SetPosition(0);
    EXPECT_NO_THROW(source.ReadBuffer(buffer, 8));
    EXPECT_NO_THROW(source.ReadBuffer(buffer, 0));

    // A full disk takes nothing.
    KivFileStream full("Z:\\dev\\full");
    ASSERT_TRUE(full.Open(1));
    EXPECT_EQ(full.Write("abc", 3), 0);
    try {
        full.CopyFrom(source, 0);
        FAIL() << "a write to a full disk went through";
    } catch (const KivWriteStreamError& e) {
        EXPECT_EQ(e.Raiser(), &full);
        EXPECT_EQ(e.Error().Description, "Can't Write all bytes from buffer");
        EXPECT_EQ(e.Error().Operation, "WriteBuffer");
        EXPECT_EQ(e.Error().Severity, 2u);
    }
}

class StreamErrorTest : public KivTestHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        m_previousDir = std::filesystem::current_path();
        std::filesystem::current_path(Scratch());
        m_previousSettings = KivRuntime();
        KivRuntime() = KivRuntimeSettings();
    }
    void TearDown() override {
        std::filesystem::current_path(m_previousDir);
        KivRuntime() = m_previousSettings;
        KivTestHome::TearDown();
    }

private:
    std::filesystem::path m_previousDir;
    KivRuntimeSettings m_previousSettings;
};

TEST_F(StreamErrorTest, ACaughtStreamErrorShowsItsDescriptionAndOperation) {
    auto prompt = std::make_shared<KivScriptedPrompt>();
    KivPromptScope scope(prompt);
    KivMemoryStream stream;
    try {
        stream.GetByte(0);
    } catch (const KivError& e) {
        DefError(e);
    }
    ASSERT_EQ(prompt->errorBoxes.size(), 1u);
    EXPECT_EQ(prompt->errorBoxes[0].title, "ERROR");
    EXPECT_NE(prompt->errorBoxes[0].text.find("Description: Read data out of allocated memory\r\n"),
              std::string::npos);
    EXPECT_NE(prompt->errorBoxes[0].text.find("Operation: Init\r\n"), std::string::npos);
}

TEST_F(StreamErrorTest, AnUncaughtStreamErrorReachesTheErrorHandler) {
    EXPECT_EXIT(
        {
            KivInstallErrorHandler();
            std::thread([] {
                KivMemoryStream stream;
                char buffer[4];
                stream.ReadBuffer(buffer, 4);
            }).join();
        },
        ::testing::ExitedWithCode(1), "");
    const std::string log = ReadFile(Scratch() / "VOERROR.LOG");
    EXPECT_NE(log.find("Description     :Can't Read enough bytes to fill buffer\r\n"), std::string::npos);
    EXPECT_NE(log.find("Operation       :ReadBuffer\r\n"), std::string::npos);
    EXPECT_NE(log.find("Severity        :2\r\n"), std::string::npos);
}
