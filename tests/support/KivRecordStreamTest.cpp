#include "support/KivRecordStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Rec(uint16_t tag, const std::string& data) {
    std::string out;
    KivRecordWriter(out).Put(tag, data);
    return out;
}

std::string End() {
    std::string out;
    KivRecordWriter(out).PutEnd();
    return out;
}

} // namespace

TEST(KivRecordStreamTest, WalksRecordsUpToTheEndRecord) {
    std::string stream =
        Rec(0x0001, "ab") + Rec(0x0020, std::string("M\0", 2)) + Rec(0x0007, "") + End() + "tail";
    KivRecordReader reader(stream);
    KivRecord r;
    ASSERT_TRUE(reader.Next(r));
    EXPECT_EQ(r.tag, 0x0001);
    EXPECT_EQ(r.data, "ab");
    EXPECT_EQ(r.offset, 0u);
    EXPECT_EQ(r.Size(), 8u);
    ASSERT_TRUE(reader.Next(r));
    EXPECT_EQ(r.tag, 0x0020);
    EXPECT_EQ(r.offset, 8u);
    EXPECT_EQ(KivRecordText(r.data), "M");
    ASSERT_TRUE(reader.Next(r));
    EXPECT_EQ(r.tag, 0x0007);
    EXPECT_TRUE(r.data.empty());
    EXPECT_FALSE(reader.Next(r));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.Damage(), KivRecordDamage::None);
    EXPECT_EQ(reader.Offset(), stream.size() - 4);
    EXPECT_FALSE(reader.Next(r)) << "the walk stays at its end";
}

TEST(KivRecordStreamTest, StartsAtAnOffsetAndNeverBeyondTheStream) {
    std::string stream = Rec(0x0001, "x") + Rec(0x0002, "yz") + End();
    KivRecordReader reader(stream, 7);
    KivRecord r;
    ASSERT_TRUE(reader.Next(r));
    EXPECT_EQ(r.tag, 0x0002);
    KivRecordReader past(stream, 1000);
    EXPECT_FALSE(past.Next(r));
    EXPECT_EQ(past.Damage(), KivRecordDamage::NoEndRecord);
}

struct DamageCase {
    const char* what;
    std::string stream;
    KivRecordDamage damage;
    size_t recordsBefore;
};

class KivRecordDamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(KivRecordDamageTest, StopsAndSaysWhatIsWrong) {
    const DamageCase& c = GetParam();
    KivRecordReader reader(c.stream);
    KivRecord r;
    size_t count = 0;
    while (reader.Next(r)) {
        ASSERT_LE(r.offset + r.Size(), c.stream.size());
        ++count;
    }
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.Damage(), c.damage);
    EXPECT_EQ(count, c.recordsBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, KivRecordDamageTest,
    ::testing::Values(DamageCase{"empty", "", KivRecordDamage::NoEndRecord, 0},
                      DamageCase{"no end record", Rec(1, "abc"), KivRecordDamage::NoEndRecord, 1},
                      DamageCase{"head cut short", Rec(1, "abc") + std::string("\x02\x00\x01", 3),
                                 KivRecordDamage::TruncatedHead, 1},
                      DamageCase{"length one past the end", Rec(1, "abc").substr(0, 8),
                                 KivRecordDamage::LengthPastEnd, 0},
                      DamageCase{"length near 4 GiB", std::string("\x05\x00\xff\xff\xff\xff", 6) + "data",
                                 KivRecordDamage::LengthPastEnd, 0}),
    [](const auto& param) {
        std::string name = param.param.what;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST(KivRecordStreamTest, EndRecordEndsTheStreamWhateverItsLength) {
    std::string stream = Rec(1, "a") + std::string("\xff\xff\x10\x00\x00\x00", 6);
    KivRecordReader reader(stream);
    KivRecord r;
    EXPECT_TRUE(reader.Next(r));
    EXPECT_FALSE(reader.Next(r));
    EXPECT_TRUE(reader.AtEnd());
}

TEST(KivRecordStreamTest, WriterLaysOutLittleEndianRecords) {
    std::string out;
    KivRecordWriter w(out);
    EXPECT_TRUE(w.Put(0x0102, "xy"));
    EXPECT_TRUE(w.PutText(0x0040, "AB"));
    EXPECT_TRUE(w.PutU16(0x0044, 0x0311));
    w.PutRecords(std::string("\x07\x00\x00\x00\x00\x00", 6));
    w.PutEnd();
    EXPECT_EQ(out, std::string("\x02\x01\x02\x00\x00\x00xy"
                               "\x40\x00\x03\x00\x00\x00"
                               "AB\0"
                               "\x44\x00\x02\x00\x00\x00\x11\x03"
                               "\x07\x00\x00\x00\x00\x00"
                               "\xff\xff\x00\x00\x00\x00",
                               37));
}

TEST(KivRecordStreamTest, DataHelpersNeverReadPastTheData) {
    EXPECT_EQ(KivRecordText(std::string("name\0\0junk", 10)), "name");
    EXPECT_EQ(KivRecordText("no terminator"), "no terminator");
    std::string data("\x01\x02\x03", 3);
    EXPECT_EQ(KivRecordU16(data, 0), 0x0201);
    EXPECT_EQ(KivRecordU16(data, 2), 0x0003) << "the missing byte counts as 0";
    EXPECT_EQ(KivRecordU32(data, 0), 0x00030201u);
    EXPECT_EQ(KivRecordU32(data, 100), 0u);
    EXPECT_EQ(KivRecordByte(data, 3), 0);

    std::string patched = "ab";
    KivRecordPatchU32(patched, 4, 0x11223344);
    EXPECT_EQ(patched, std::string("ab\0\0\x44\x33\x22\x11", 8));
    KivRecordPatchByte(patched, 0, 0x7f);
    EXPECT_EQ(patched[0], '\x7f');
}
