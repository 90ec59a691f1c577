#include "KivCliRun.h"

using KivDemoCommandTest = KivCliHome;

TEST_F(KivDemoCommandTest, LoadsTheCheckoutsSamplesOnceAndKeepsTheDemoCurrent) {
    CliRun first = Kivrepo({"load-demo"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.Doc()["loaded"], true);
    EXPECT_EQ(first.Doc()["project"], "Warehouse");

    CliRun list = Kivrepo({"list"});
    ASSERT_EQ(list.code, 0) << list.err;
    const auto doc = list.Doc();
    ASSERT_EQ(doc["projects"].size(), 2u);
    EXPECT_EQ(doc["projects"][1]["name"], "Warehouse");
    EXPECT_EQ(doc["projects"][1]["current"], true) << "the next program opens on the demo";
    EXPECT_EQ(doc["projects"][1]["applications"].size(), 5u);

    CliRun second = Kivrepo({"load-demo"});
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(second.Doc()["loaded"], false);
}

TEST_F(KivDemoCommandTest, AFolderWithoutManifestFails) {
    CliRun run = Kivrepo({"load-demo", Scratch().string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("demo.ini"), std::string::npos) << run.err;
}
