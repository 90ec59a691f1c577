#include "support/KivMemoryStream.h"
#include "common/KivTestHome.h"
#include "support/KivStreamError.h"

#include <functional>
#include <limits>

using namespace std::string_literals;

class MemoryStreamTest : public KivTestHome {};

TEST_F(MemoryStreamTest, WritesGrowTheStreamAndReadsStopAtItsEnd) {
    KivMemoryStream stream;
    EXPECT_EQ(stream.Memory(), nullptr);
    EXPECT_EQ(stream.Write("hello", 5), 5);
    EXPECT_EQ(stream.Size(), 5);
    EXPECT_EQ(stream.Capacity(), 5);
    EXPECT_EQ(stream.Position(), 5);
    EXPECT_EQ(stream.Write("x", 0), 0);
    EXPECT_EQ(stream.Write("x", -3), 0);
    EXPECT_EQ(stream.Write(nullptr, 3), 0);
    EXPECT_EQ(stream.Size(), 5);

    char buffer[16] = {};
    stream.SetPosition(1);
    EXPECT_EQ(stream.Read(buffer, 16), 4);
    EXPECT_EQ(std::string(buffer, 4), "ello");
    EXPECT_EQ(stream.Read(buffer, 16), 0);
    stream.SetPosition(0);
    EXPECT_EQ(stream.Read(buffer, 0), 0);
    EXPECT_EQ(stream.Read(buffer, -1), 0);
    EXPECT_EQ(stream.Position(), 0);

    // Overwriting inside keeps the size; a write past the end leaves zeros in the gap.
    stream.SetPosition(1);
    EXPECT_EQ(stream.Write("EL", 2), 2);
    stream.SetPosition(8);
    EXPECT_EQ(stream.Write("!", 1), 1);
    EXPECT_EQ(stream.SaveToString(), "hELlo\0\0\0!"s);
}

TEST_F(MemoryStreamTest, SeekRefusesPositionsBeforeTheStart) {
    KivMemoryStream stream;
    stream.LoadFromString("0123456789");
    EXPECT_EQ(stream.Seek(3, 0), 3);
    EXPECT_EQ(stream.Seek(2, 1), 5);
    EXPECT_EQ(stream.Seek(-1, 2), 9);
    EXPECT_EQ(stream.Seek(20, 0), 20);
    char c;
    EXPECT_EQ(stream.Read(&c, 1), 0);
    stream.Seek(5, 0);
    EXPECT_EQ(stream.Seek(-6, 1), -1);
    EXPECT_EQ(stream.Seek(-11, 2), -1);
    EXPECT_EQ(stream.Seek(std::numeric_limits<int64_t>::max(), 1), -1);
    EXPECT_EQ(stream.Seek(0, 3), -1);
    EXPECT_EQ(stream.Position(), 5);
}

TEST_F(MemoryStreamTest, TypedReadsTakeWholeValuesAtOneBasedPositions) {
    KivMemoryStream stream;
    stream.LoadFromString("\x01\x02\x03\x04\xff\xff\xff\xfe"s);
    stream.SetPosition(3);
    EXPECT_EQ(stream.GetByte(1), 0x01);
    EXPECT_EQ(stream.GetByte(8), 0xfe);
    EXPECT_EQ(stream.GetWord(1), 0x0201);
    EXPECT_EQ(stream.GetShort(5), -1);
    EXPECT_EQ(stream.GetWord(7), 0xfeff);
    EXPECT_EQ(stream.GetDWord(1), 0x04030201u);
    // n = size - 3 gives the last four bytes.
    EXPECT_EQ(stream.GetDWord(5), 0xfeffffffu);
    EXPECT_EQ(stream.GetLong(5), -16777217);
    EXPECT_EQ(stream.Position(), 3);

    for (auto [what, read] : std::initializer_list<std::pair<const char*, std::function<void()>>>{
             {"GetDWord(size - 2)", [&] { stream.GetDWord(6); }},
             {"GetLong(size - 2)", [&] { stream.GetLong(6); }},
             {"GetByte(0)", [&] { stream.GetByte(0); }},
             {"GetByte(-1)", [&] { stream.GetByte(-1); }},
             {"GetByte(size + 1)", [&] { stream.GetByte(9); }},
             {"GetWord(size)", [&] { stream.GetWord(8); }},
             {"GetShort(huge)", [&] { stream.GetShort(std::numeric_limits<int64_t>::max()); }},
         }) {
        try {
            read();
            ADD_FAILURE() << what << " read outside the memory";
        } catch (const KivMemoryError& e) {
            EXPECT_EQ(e.Error().Description, "Read data out of allocated memory") << what;
            EXPECT_EQ(e.Error().Operation, "Init") << what;
            EXPECT_EQ(e.Error().Severity, 2u) << what;
            EXPECT_EQ(e.Raiser(), &stream) << what;
        }
    }
    KivMemoryStream empty;
    EXPECT_THROW(empty.GetByte(1), KivMemoryError);
}

TEST_F(MemoryStreamTest, SetSizeDiscardsTheContentAndSetCapacityCutsTheSize) {
    KivMemoryStream stream;
    stream.LoadFromString("abcdef");
    stream.SetPosition(3);
    stream.SetSize(4);
    EXPECT_EQ(stream.Size(), 4);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(stream.Capacity(), 4);
    EXPECT_EQ(stream.SaveToString(), std::string(4, '\0'));

    stream.LoadFromString("0123456789");
    stream.SetPosition(7);
    EXPECT_EQ(stream.Capacity(4), 4);
    EXPECT_EQ(stream.Size(), 4);
    EXPECT_EQ(stream.SaveToString(), "0123");
    char buffer[8];
    EXPECT_EQ(stream.Read(buffer, 8), 0);
    EXPECT_EQ(stream.Write("7", 1), 1);
    EXPECT_EQ(stream.SaveToString(), "0123\0\0\0"s + "7");
    stream.SetCapacity(100);
    EXPECT_EQ(stream.Size(), 8);

    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Capacity(), 0);
    EXPECT_EQ(stream.Memory(), nullptr);
    EXPECT_EQ(stream.SaveToString(), "");
}

TEST_F(MemoryStreamTest, MemoryThatCannotBeHadRaisesAndKeepsTheStream) {
    KivMemoryStream stream;
    stream.LoadFromString("abc");
    auto expectReallocError = [&](const std::function<void()>& grow) {
        try {
            grow();
            ADD_FAILURE() << "an impossible size was allocated";
        } catch (const KivError& e) {
            EXPECT_EQ(e.Error().Description,
                      "Can't ReAllocate memory - Not enough storage is available to process this command.");
            EXPECT_EQ(e.Error().Operation, "Realloc");
            EXPECT_EQ(e.Error().Severity, 2u);
        }
        EXPECT_EQ(stream.SaveToString(), "abc");
        EXPECT_EQ(stream.Capacity(), 3);
    };
    expectReallocError([&] { stream.SetCapacity(int64_t{1} << 40); });
    expectReallocError([&] { stream.SetCapacity(-1); });
    expectReallocError([&] {
        stream.SetPosition(std::numeric_limits<int64_t>::max() - 1);
        stream.Write("xyz", 3);
    });

    // From nothing, the same.
    KivMemoryStream fresh;
    EXPECT_THROW(fresh.SetSize(int64_t{1} << 40), KivError);
    EXPECT_EQ(fresh.Size(), 0);
}

TEST_F(MemoryStreamTest, LoadsAndSavesStreamsStringsAndFiles) {
    const std::string bytes = "bytes\0\xff\r\n"s;
    KivMemoryStream source;
    source.LoadFromString(bytes);
    source.SetPosition(4);
    KivMemoryStream copy;
    copy.LoadFromString("old content that goes");
    copy.LoadFromStream(source);
    EXPECT_EQ(copy.SaveToString(), bytes);
    EXPECT_EQ(copy.Position(), 0);
    copy.LoadFromStream(copy);
    EXPECT_EQ(copy.SaveToString(), bytes);

    KivMemoryStream target;
    target.Write("<", 1);
    source.SaveToStream(target);
    EXPECT_EQ(target.SaveToString(), "<" + bytes);
    KivMemoryStream empty;
    empty.SaveToStream(target);
    EXPECT_EQ(target.Size(), 10);

    source.SaveToFile(ScratchDos("saved.bin"));
    EXPECT_EQ(ReadFile(Scratch() / "saved.bin"), bytes);
    KivMemoryStream loaded;
    loaded.LoadFromFile(ScratchDos("SAVED.BIN"));
    EXPECT_EQ(loaded.SaveToString(), bytes);
    empty.SaveToFile(ScratchDos("saved.bin"));
    EXPECT_EQ(ReadFile(Scratch() / "saved.bin"), "");
    loaded.LoadFromFile(ScratchDos("saved.bin"));
    EXPECT_EQ(loaded.Size(), 0);

    // Files that cannot be had raise, and the stream stays as it was.
    loaded.LoadFromString("kept");
    EXPECT_THROW(loaded.LoadFromFile(ScratchDos("missing.bin")), KivReadStreamError);
    EXPECT_THROW(loaded.LoadFromFile(ScratchDos()), KivReadStreamError);
    EXPECT_EQ(loaded.SaveToString(), "kept");
    EXPECT_THROW(loaded.SaveToFile("D:\\saved.bin"), KivWriteStreamError);
    EXPECT_THROW(empty.SaveToFile(ScratchDos("no\\such\\folder.bin")), KivWriteStreamError);
    EXPECT_THROW(loaded.SaveToFile("Z:\\dev\\full"), KivWriteStreamError);
}

TEST_F(MemoryStreamTest, MemoryHandedInIsUsedAndMovedOutOfWhenItMustGrow) {
    char foreign[] = "abcd";
    KivMemoryStream stream;
    stream.LoadFromString("own memory, given up");
    stream.SetPointer(foreign, 4);
    EXPECT_EQ(stream.Memory(), foreign);
    EXPECT_EQ(stream.Capacity(), 0);
    EXPECT_EQ(stream.SaveToString(), "abcd");
    stream.SetPosition(0);
    stream.Write("A", 1);
    EXPECT_EQ(foreign[0], 'A');
    stream.SetPosition(4);
    stream.Write("e", 1);
    EXPECT_NE(stream.Memory(), foreign);
    EXPECT_EQ(stream.SaveToString(), "Abcde");
    EXPECT_EQ(std::string(foreign), "Abcd");
}
