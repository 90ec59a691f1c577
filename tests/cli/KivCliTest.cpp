#include "cli/KivCli.h"
#include "common/KivTestHome.h"

#include <nlohmann/json.hpp>

#include <sstream>
#include <vector>

namespace {

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

CliResult RunKivrepo(std::vector<const char*> args) {
    args.insert(args.begin(), "kivrepo");
    std::ostringstream out, err;
    int code = KivRunCli(static_cast<int>(args.size()), args.data(), out, err);
    return {code, out.str(), err.str()};
}

} // namespace

class CliTest : public KivTestHome {};

TEST_F(CliTest, HomeShowsThePlatformHome) {
    CliResult r = RunKivrepo({"home"});
    ASSERT_EQ(r.code, 0) << r.err;
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["home"], Home().string());
    EXPECT_EQ(doc["driveC"], (Home() / "drive_c").string());
}

TEST_F(CliTest, DosPathTakesBothForms) {
    WriteFile(Scratch() / "Mixed" / "file.prg", "");
    CliResult r = RunKivrepo({"dospath", (Scratch() / "MIXED" / "File.PRG").c_str()});
    ASSERT_EQ(r.code, 0) << r.err;
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["host"], (Scratch() / "Mixed" / "file.prg").string());

    r = RunKivrepo({"dospath", "D:\\nowhere"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "The system cannot find the path specified.\n");
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    EXPECT_EQ(RunKivrepo({}).code, 2);
    EXPECT_EQ(RunKivrepo({"no-such-command"}).code, 2);
    EXPECT_EQ(RunKivrepo({"dospath"}).code, 2);
}
