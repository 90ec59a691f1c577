#include "platform/KivRegSaveFile.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Tree = KivRegSaveFile::Tree;

Tree SampleTree() {
    Tree tree;
    tree.push_back(
        {0, 1111, "Top", {{"", 1, std::string("def\0", 4)}, {"Count", 4, std::string("\x1A\0\0\0", 4)}}});
    tree.push_back({1, 2222, "Alpha", {{"Bin", 3, std::string("\0\xFF\x80", 3)}}});
    tree.push_back({2, 3333, "Deep", {}});
    tree.push_back({1, 4444, "beta", {{"odd\\name\xE9", 0xDEADBEEF, ""}}});
    // Ordered among its siblings only: it may sort before its cousin "Deep".
    tree.push_back({2, 5555, "Aaa", {}});
    return tree;
}

// Little-endian pieces for building files by hand.
std::string U32(uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
    return s;
}
std::string U64(uint64_t v) {
    return U32(static_cast<uint32_t>(v)) + U32(static_cast<uint32_t>(v >> 32));
}
std::string Str(const std::string& s) {
    return U32(static_cast<uint32_t>(s.size())) + s;
}
std::string KeyRecord(uint32_t depth, const std::string& name, const std::string& values = U32(0)) {
    return U32(depth) + U64(0) + Str(name) + values;
}
std::string Value(const std::string& name, uint32_t type, const std::string& data) {
    return Str(name) + U32(type) + Str(data);
}
// A file around a body, with a correct checksum unless told otherwise.
std::string File(uint32_t keys, const std::string& body, uint32_t version = 1, uint32_t flags = 0) {
    return "KIVREGSV" + U32(version) + U32(flags) + U32(keys) + U32(KivRegSaveFile::Crc32(body)) + body;
}

} // namespace

TEST(RegSaveFileTest, RoundTripKeepsEveryByteAndTheOrder) {
    const Tree tree = SampleTree();
    const std::string bytes = KivRegSaveFile::Encode(tree);
    ASSERT_EQ(bytes.substr(0, 8), "KIVREGSV");
    Tree back;
    std::string reason;
    ASSERT_TRUE(KivRegSaveFile::Decode(bytes, back, reason)) << reason;
    EXPECT_EQ(back, tree);
    EXPECT_TRUE(reason.empty());
}

TEST(RegSaveFileTest, HandBuiltFileReadsAsDocumented) {
    const std::string body = KeyRecord(0, "", U32(1) + Value("", 1, "x")) + KeyRecord(1, "Sub");
    Tree tree;
    std::string reason;
    ASSERT_TRUE(KivRegSaveFile::Decode(File(2, body), tree, reason)) << reason;
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].values.at(0).data, "x");
    EXPECT_EQ(tree[1].name, "Sub");
    EXPECT_EQ(tree[1].depth, 1u);
}

TEST(RegSaveFileTest, EveryTruncationIsRefused) {
    const std::string bytes = KivRegSaveFile::Encode(SampleTree());
    for (size_t n = 0; n < bytes.size(); ++n) {
        Tree tree;
        std::string reason;
        EXPECT_FALSE(KivRegSaveFile::Decode(bytes.substr(0, n), tree, reason)) << n;
        EXPECT_TRUE(tree.empty());
        EXPECT_FALSE(reason.empty());
    }
}

struct DamagedCase {
    const char* what;
    std::function<std::string()> bytes;
};

class RegSaveFileDamageTest : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(RegSaveFileDamageTest, IsRefusedWithAReason) {
    Tree tree;
    std::string reason;
    EXPECT_FALSE(KivRegSaveFile::Decode(GetParam().bytes(), tree, reason));
    EXPECT_TRUE(tree.empty());
    EXPECT_FALSE(reason.empty());
}

// Each file below has a correct checksum, so that the rule named is what refuses it.
INSTANTIATE_TEST_SUITE_P(
    Files, RegSaveFileDamageTest,
    ::testing::Values(
        DamagedCase{"Empty", [] { return std::string(); }},
        DamagedCase{"OtherMagic", [] { return "KIVREGSX" + File(1, KeyRecord(0, "")).substr(8); }},
        DamagedCase{"NewerVersion", [] { return File(1, KeyRecord(0, ""), 2); }},
        DamagedCase{"UnknownFlags", [] { return File(1, KeyRecord(0, ""), 1, 1); }},
        DamagedCase{"NoKeys", [] { return File(0, ""); }},
        DamagedCase{"MoreKeysThanFit", [] { return File(1000, KeyRecord(0, "")); }},
        DamagedCase{"MissingRecord",
                    [] { return File(2, KeyRecord(0, "", U32(1) + Value(std::string(20, 'v'), 1, ""))); }},
        DamagedCase{"TrailingBytes", [] { return File(1, KeyRecord(0, "") + "x"); }},
        DamagedCase{"FirstRecordNotTop", [] { return File(1, KeyRecord(1, "")); }},
        DamagedCase{"SecondTop", [] { return File(2, KeyRecord(0, "") + KeyRecord(0, "B")); }},
        DamagedCase{"DepthJump", [] { return File(2, KeyRecord(0, "") + KeyRecord(2, "B")); }},
        DamagedCase{"EmptyKeyName", [] { return File(2, KeyRecord(0, "") + KeyRecord(1, "")); }},
        DamagedCase{"BackslashInKeyName", [] { return File(2, KeyRecord(0, "") + KeyRecord(1, "a\\b")); }},
        DamagedCase{"KeyNameTooLong",
                    [] { return File(2, KeyRecord(0, "") + KeyRecord(1, std::string(256, 'k'))); }},
        DamagedCase{"SiblingsDifferOnlyInCase",
                    [] { return File(3, KeyRecord(0, "") + KeyRecord(1, "Name") + KeyRecord(1, "nAME")); }},
        // "_" sorts after the letters once they are upper-cased.
        DamagedCase{"SiblingsOutOfOrder",
                    [] { return File(3, KeyRecord(0, "") + KeyRecord(1, "_x") + KeyRecord(1, "b")); }},
        DamagedCase{"ValuesDifferOnlyInCase",
                    [] { return File(1, KeyRecord(0, "", U32(2) + Value("v", 1, "") + Value("V", 3, ""))); }},
        DamagedCase{"ValueCountPastEnd",
                    [] { return File(1, KeyRecord(0, "", U32(5) + Value("v", 1, ""))); }},
        DamagedCase{"ValueDataPastEnd",
                    [] { return File(1, KeyRecord(0, "", U32(1) + Str("v") + U32(1) + U32(99))); }},
        DamagedCase{"ValueNameTooLong",
                    [] { return File(1, KeyRecord(0, "", U32(1) + Value(std::string(16384, 'v'), 1, ""))); }},
        DamagedCase{"DeeperThan512Levels",
                    [] {
                        std::string body = KeyRecord(0, "");
                        for (uint32_t d = 1; d <= 513; ++d)
                            body += KeyRecord(d, "k");
                        return File(514, body);
                    }},
        DamagedCase{"ChecksumMismatch",
                    [] {
                        std::string f = File(1, KeyRecord(0, "top"));
                        f.back() = 'X';
                        return f;
                    }}),
    [](const ::testing::TestParamInfo<DamagedCase>& param) { return param.param.what; });

TEST(RegSaveFileTest, LimitsThemselvesAreAccepted) {
    std::string body = KeyRecord(0, "", U32(1) + Value(std::string(16383, 'v'), 1, ""));
    for (uint32_t d = 1; d <= 512; ++d)
        body += KeyRecord(d, d == 1 ? std::string(255, 'k') : "k");
    Tree tree;
    std::string reason;
    ASSERT_TRUE(KivRegSaveFile::Decode(File(513, body), tree, reason)) << reason;
    EXPECT_EQ(tree.back().depth, 512u);
}

TEST(RegSaveFileTest, Crc32IsTheZipChecksum) {
    EXPECT_EQ(KivRegSaveFile::Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(KivRegSaveFile::Crc32(""), 0u);
}
