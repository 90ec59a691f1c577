#include "cli/KivCli.h"
#include "common/KivTestHome.h"

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct DemoRun {
    int code;
    std::string out;
    std::string err;
};

DemoRun Kivrepo(std::vector<std::string> args) {
    std::vector<const char*> argv{"kivrepo"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out, err;
    int code = KivRunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

} // namespace

using KivDemoCommandTest = KivTestHome;

TEST_F(KivDemoCommandTest, LoadsTheCheckoutsSamplesOnceAndKeepsTheDemoCurrent) {
    DemoRun first = Kivrepo({"load-demo"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_NE(first.out.find("Loaded the demo project Warehouse"), std::string::npos) << first.out;

    DemoRun list = Kivrepo({"list"});
    ASSERT_EQ(list.code, 0) << list.err;
    const auto doc = nlohmann::json::parse(list.out);
    ASSERT_EQ(doc["projects"].size(), 2u);
    EXPECT_EQ(doc["projects"][1]["name"], "Warehouse");
    EXPECT_EQ(doc["projects"][1]["current"], true) << "the next program opens on the demo";
    EXPECT_EQ(doc["projects"][1]["applications"].size(), 5u);

    DemoRun second = Kivrepo({"load-demo"});
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_NE(second.out.find("nothing was loaded"), std::string::npos) << second.out;
}

TEST_F(KivDemoCommandTest, AFolderWithoutManifestFails) {
    DemoRun run = Kivrepo({"load-demo", Scratch().string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("demo.ini"), std::string::npos) << run.err;
}
