#include "exportfiles/KivEntityAbstract.h"
#include "exportfiles/KivEntityText.h"

#include <gtest/gtest.h>

namespace {

class PlainEntity : public KivEntityAbstract {
public:
    PlainEntity(std::string name, std::string prototype)
        : KivEntityAbstract(std::move(name), std::move(prototype)) {}
};

// Counts the reads of the stored prototype, as an engine-backed entity would pay for each.
class CountingEntity : public KivEntityAbstract {
public:
    explicit CountingEntity(std::string prototype) : KivEntityAbstract({}, std::move(prototype)) {}
    mutable int reads = 0;
    std::string VOPrototype() const override {
        ++reads;
        return KivEntityAbstract::VOPrototype();
    }
};

class TypedEntity : public KivEntityAbstract {
public:
    explicit TypedEntity(std::string prototype) : KivEntityAbstract({}, std::move(prototype)) {}
    KivSymbol Type() const override { return KivPrototypeType(Prototype()); }
};

} // namespace

TEST(KivEntityAbstract, Defaults) {
    PlainEntity entity("Start", "func Start()");
    EXPECT_EQ(entity.Name(), "Start");
    EXPECT_TRUE(entity.CreateDate().IsNull());
    EXPECT_EQ(entity.CreateTime(), "(no return string defined)");
    EXPECT_TRUE(entity.LastBuildDate().IsNull());
    EXPECT_EQ(entity.LastBuildTime(), "(no return string defined)");
    EXPECT_EQ(entity.VOPrototype(), "func Start()");
    EXPECT_EQ(entity.Source(), "(no return string defined)");
    EXPECT_TRUE(entity.IsVisible());
    EXPECT_TRUE(entity.Success());
}

TEST(KivEntityAbstract, AbstractTypeAndVisibilityAreNoEntityType) {
    PlainEntity entity("x", "METHOD x CLASS y");
    EXPECT_EQ(entity.Type(), KivAbstractSymbol());
    EXPECT_EQ(entity.Visibility(), KivAbstractSymbol());
    EXPECT_FALSE(entity.Type().IsNull());
    for (const std::string& word : KivGetKeywords())
        EXPECT_FALSE(entity.Type() == KivSymbol(word)) << word;
    EXPECT_FALSE(entity.Visibility() == KivSymbol("PUBLIC"));
    // With no type known there is no class prefix.
    EXPECT_EQ(entity.Info(), "x");
}

TEST(KivEntityAbstract, PrototypeIsNormalisedOnceAndKept) {
    CountingEntity entity("static func Foo(a):=1");
    EXPECT_EQ(entity.Prototype(), "STATIC FUNCTION Foo(a) :=1");
    EXPECT_EQ(entity.Prototype(), "STATIC FUNCTION Foo(a) :=1");
    EXPECT_EQ(entity.reads, 1);
    EXPECT_EQ(entity.VOPrototype(), "static func Foo(a):=1");

    CountingEntity empty("");
    EXPECT_EQ(empty.Prototype(), "");
    EXPECT_EQ(empty.Prototype(), "");
    EXPECT_EQ(empty.reads, 1);
}

TEST(KivEntityAbstract, InfoUsesTheOverriddenType) {
    EXPECT_EQ(TypedEntity("meth Init(oOwner) class MyWin").Info(), "MyWin:Init");
    EXPECT_EQ(TypedEntity("STATIC FUNCTION Foo(a)").Info(), "Foo");
    EXPECT_EQ(TypedEntity("GLOBAL DIM aList[10]").Info(), "aList");
    EXPECT_EQ(TypedEntity("textblock About this module").Info(), "About this module");
}
