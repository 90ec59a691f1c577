#include "KivRepositoryFixture.h"

#include "repository/KivEntSymTypes.h"
#include "support/KivDateTime.h"

#include <map>

class KivVOEntityTest : public KivRepositoryTest {
protected:
    // The single entity of a new module holding just it.
    std::shared_ptr<KivVOEntity> Single(const KivTestEntity& entity) {
        auto app = Import("App" + std::to_string(++m_apps), {{"Mod", {entity}}});
        auto entities = Entities(*app->FirstModule());
        return entities.size() == 1 ? entities[0] : nullptr;
    }
    int m_apps = 0;
};

TEST(KivEntSymTypes, TableAndBlockTypes) {
    std::vector<std::string> names;
    for (KivSymbol s : KivGetEntSymTypes())
        names.push_back(s.Name());
    EXPECT_EQ(names, (std::vector<std::string>{"FUNCTION", "PROCEDURE", "METHOD", "ACCESS", "ASSIGN", "CLASS",
                                               "UNION", "STRUCTURE", "RESOURCE", "TEXTBLOCK", "GLOBAL"}));
    const std::map<uint32_t, std::string> blocks{
        {17, "FUNCTION"},  {18, "PROCEDURE"}, {21, "METHOD"}, {22, "GLOBAL"}, {23, "CLASS"},
        {24, "STRUCTURE"}, {25, "ACCESS"},    {26, "ASSIGN"}, {27, "DEFINE"}, {29, "UNION"}};
    for (uint32_t n = 0; n < 64; ++n) {
        auto it = blocks.find(n);
        EXPECT_EQ(KivBlockTypeSymbol(n).Name(), it == blocks.end() ? "" : it->second) << n;
    }
    EXPECT_TRUE(KivBlockTypeSymbol(0xFFFFFFFF).IsNull());
}

TEST_F(KivVOEntityTest, TypeVisibilityAndInfoComeFromThePrototype) {
    struct Case {
        const char* prototype;
        const char* type;
        const char* visibility;
        const char* info;
    };
    const Case cases[] = {
        {"STATIC FUNCTION Foo(a)", "FUNCTION", "STATIC", "Foo"},
        {"_DLL FUNCTION Foo(a)", "FUNCTION", "PUBLIC", "Foo"},
        {"METHOD Init(oOwner) CLASS MyWin", "METHOD", "PUBLIC", "MyWin:Init"},
        {"hidden access Size class Box", "ACCESS", "HIDDEN", "Box:Size"},
        {"protect func Guard()", "FUNCTION", "PROTECT", "Guard"},
        {"GLOBAL DIM aList[10]", "GLOBAL", "PUBLIC", "aList"},
        {"", "", "PUBLIC", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prototype);
        auto entity = Single({"E", 3, 17, c.prototype, "x"});
        ASSERT_TRUE(entity);
        EXPECT_EQ(entity->Type().Name(), c.type);
        EXPECT_EQ(entity->Visibility().Name(), c.visibility);
        EXPECT_EQ(entity->Info(), c.info);
    }
    EXPECT_EQ(Single({"F", 3, 17, "static func foo()", ""})->Prototype(), "STATIC FUNCTION foo()");
}

TEST_F(KivVOEntityTest, VOPrototypeComesBackOnOneTrimmedLine) {
    auto entity = Single({"F", 3, 17, "\tFUNCTION  Foo(a,\r\n\tb)  ", ""});
    EXPECT_EQ(entity->VOPrototype(), "FUNCTION  Foo(a,  b)");
    EXPECT_EQ(entity->Prototype(), "FUNCTION  Foo(a,  b)");
}

TEST_F(KivVOEntityTest, DataOnlyForSourceTypesAndSourceWithoutNulBytes) {
    const std::string stored = std::string("FUNCTION F()\r\n\0RETURN 1\r\n", 26);
    for (uint16_t type : {1, 2, 3, 4}) {
        SCOPED_TRACE(type);
        KivTestEntity e{"F", type, 17, "FUNCTION F()", stored};
        e.extra = {{0x0042, std::string("\x01\x00\x02", 3)}};
        auto entity = Single(e);
        ASSERT_TRUE(entity);
        EXPECT_EQ(entity->NumType(), type);
        Fault().ResetCalls();
        if (type == 2) {
            EXPECT_EQ(entity->Data(), "");
            EXPECT_EQ(entity->Source(), "");
            EXPECT_EQ(Fault().Calls("EntQueryData"), 0u);
        } else {
            EXPECT_EQ(entity->Data(), stored + '\0') << "as stored, with the record's own NUL";
            EXPECT_EQ(entity->Source(), "FUNCTION F()\r\nRETURN 1\r\n");
        }
        EXPECT_EQ(entity->CustomData(), std::string("\x01\x00\x02", 3)) << "for every type";
        EXPECT_TRUE(entity->Success());
    }
}

TEST_F(KivVOEntityTest, LongSourcesArriveWhole) {
    std::string source;
    while (source.size() < 70000)
        source += "// a line of comment that makes the source longer than 64 KiB\r\n";
    auto entity = Single({"BIG", 3, 17, "FUNCTION Big()", source});
    EXPECT_EQ(entity->Source(), source);
}

TEST_F(KivVOEntityTest, IdentityBlockTypeAndTimes) {
    auto entity = Single({"DEF", 3, 27, "DEFINE DEF := 1", "DEFINE DEF := 1\r\n", 1000000000, 1100000000});
    EXPECT_EQ(entity->Name(), "DEF");
    EXPECT_EQ(entity->OwnerID(), entity->Owner()->ID());
    EXPECT_EQ(KivVOEntity(entity->ID()).Name(), "DEF");
    EXPECT_EQ(KivVOEntity(entity->ID()).Owner(), nullptr);
    EXPECT_EQ(entity->BlockTypeID(), 27u);
    EXPECT_EQ(entity->BlockType().Name(), "DEFINE");
    EXPECT_EQ(entity->Prototype(), "DEFINE DEF  := 1") << ":= gains a blank";
    EXPECT_TRUE(entity->IsVisible());
    const auto created = KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(1000000000));
    EXPECT_EQ(entity->CreateDate(), created.first);
    EXPECT_EQ(entity->CreateTime(), created.second);
    const auto built = KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(1100000000));
    EXPECT_EQ(entity->LastBuildDate(), built.first);
    EXPECT_EQ(entity->LastBuildTime(), built.second);

    for (uint16_t block : {19, 20, 28}) {
        auto other = Single({"X", 3, block, "FUNCTION X()", ""});
        EXPECT_TRUE(other->BlockType().IsNull()) << block;
        EXPECT_EQ(other->BlockTypeID(), block);
    }
}
