#include "exportfiles/KivApplicationAbstract.h"
#include "exportfiles/KivModuleAbstract.h"

#include <gtest/gtest.h>

namespace {

class PlainApplication : public KivApplicationAbstract {};

class KindApplication : public KivApplicationAbstract {
public:
    bool dll = false;
    bool library = false;
    bool IsDLL() const override { return dll; }
    bool IsLibrary() const override { return library; }
};

class PlainModule : public KivModuleAbstract {};

class ListApplication : public KivApplicationAbstract {
public:
    std::vector<std::shared_ptr<KivModuleAbstract>> ModuleList() const override {
        return {std::make_shared<PlainModule>(), std::make_shared<PlainModule>(), nullptr};
    }
};

} // namespace

TEST(KivApplicationAbstract, Defaults) {
    PlainApplication app;
    app.Close();
    app.Scan();
    app.SortByName();
    EXPECT_FALSE(app.ExportModule("Start", "Z:\\tmp\\start.mef"));
    EXPECT_EQ(app.ModuleFind("Start"), nullptr);
    EXPECT_TRUE(app.CreateDate().IsNull());
    EXPECT_EQ(app.CreateTime(), "00:00:00");
    EXPECT_FALSE(app.IsValid());
    EXPECT_TRUE(app.LastBuildDate().IsNull());
    EXPECT_EQ(app.LastBuildTime(), "00:00:00");
    EXPECT_TRUE(app.ModuleList().empty());
    EXPECT_TRUE(app.ModuleNameList().empty());
    EXPECT_EQ(app.ModuleCount(), 0u);
    EXPECT_EQ(app.ExeName(), "(no return string defined)");
    EXPECT_TRUE(app.LibraryNameList().empty());
    EXPECT_TRUE(app.UDCNameList().empty());
    EXPECT_EQ(app.Description(), "(no return string defined)");
    EXPECT_TRUE(app.Success());
    EXPECT_EQ(app.Name(), "");
}

TEST(KivApplicationAbstract, FullPathAssignmentKeepsNothing) {
    PlainApplication app;
    EXPECT_EQ(app.FullPath("C:\\cavo25\\app.aef"), "(no return string defined)");
    EXPECT_EQ(app.FullPath(), "(no return string defined)");
}

TEST(KivApplicationAbstract, IsApplicationFollowsTheOverriddenKinds) {
    KindApplication app;
    EXPECT_TRUE(app.IsApplication());
    app.dll = true;
    EXPECT_FALSE(app.IsApplication());
    app.dll = false;
    app.library = true;
    EXPECT_FALSE(app.IsApplication());
    app.dll = true;
    EXPECT_FALSE(app.IsApplication());
}

TEST(KivApplicationAbstract, ModuleCountIsTheLengthOfTheOverriddenList) {
    ListApplication app;
    EXPECT_EQ(app.ModuleCount(), 3u);
    EXPECT_EQ(app.ModuleCount(), app.ModuleList().size());
}
