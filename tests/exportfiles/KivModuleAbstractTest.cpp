#include "exportfiles/KivModuleAbstract.h"
#include "exportfiles/KivEntityAbstract.h"

#include <gtest/gtest.h>

namespace {

class PlainModule : public KivModuleAbstract {};

class NamedEntity : public KivEntityAbstract {
public:
    explicit NamedEntity(std::string name) : KivEntityAbstract(std::move(name), {}) {}
};

class ListModule : public KivModuleAbstract {
public:
    uint32_t claimed = UINT32_MAX; // UINT32_MAX: use the inherited count
    bool mef = false;
    bool prg = false;
    std::vector<std::shared_ptr<KivEntityAbstract>> EntityList() const override {
        return {std::make_shared<NamedEntity>("Start"), nullptr, std::make_shared<NamedEntity>("Stop")};
    }
    uint32_t EntityCount() const override {
        return claimed == UINT32_MAX ? KivModuleAbstract::EntityCount() : claimed;
    }
    bool IsMEF() const override { return mef; }
    bool IsPRG() const override { return prg; }
};

} // namespace

TEST(KivModuleAbstract, Defaults) {
    PlainModule module;
    module.Close();
    module.Scan();
    module.SortByName();
    EXPECT_FALSE(module.ExportModule("Z:\\tmp\\m.prg"));
    EXPECT_EQ(module.EntityFind("Start"), nullptr);
    EXPECT_TRUE(module.CreateDate().IsNull());
    EXPECT_EQ(module.CreateTime(), "00:00:00");
    EXPECT_TRUE(module.EntityList().empty());
    EXPECT_TRUE(module.EntityNameList().empty());
    EXPECT_EQ(module.EntityCount(), 0u);
    EXPECT_EQ(module.ExternalFile(), "(no return string defined)");
    EXPECT_EQ(module.ExternalSource(), "(no return string defined)");
    EXPECT_FALSE(module.IsExternal());
    EXPECT_FALSE(module.IsMEF());
    EXPECT_FALSE(module.IsPRG());
    EXPECT_FALSE(module.IsValid());
    EXPECT_TRUE(module.LastBuildDate().IsNull());
    EXPECT_EQ(module.LastBuildTime(), "00:00:00");
    EXPECT_EQ(module.FullPath(), "(no return string defined)");
}

TEST(KivModuleAbstract, FullPathAssignmentReturnsThePath) {
    PlainModule module;
    EXPECT_EQ(module.FullPath("C:\\src\\Start.prg"), "C:\\src\\Start.prg");
}

TEST(KivModuleAbstract, NamesAndCountFollowTheOverriddenList) {
    ListModule module;
    EXPECT_EQ(module.EntityCount(), 3u);
    EXPECT_EQ(module.EntityNameList(), (std::vector<std::string>{"Start", "", "Stop"}));
    module.claimed = 1;
    EXPECT_EQ(module.EntityNameList(), (std::vector<std::string>{"Start"}));
    // A count beyond the list must not read past it.
    module.claimed = 10;
    EXPECT_EQ(module.EntityNameList().size(), 3u);
}

TEST(KivModuleAbstract, ValidWhenMEFOrPRG) {
    ListModule module;
    EXPECT_FALSE(module.IsValid());
    module.mef = true;
    EXPECT_TRUE(module.IsValid());
    module.mef = false;
    module.prg = true;
    EXPECT_TRUE(module.IsValid());
}
