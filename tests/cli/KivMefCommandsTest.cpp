#include "KivCliRun.h"
#include "common/KivAefTestWriter.h"
#include "common/KivTestHome.h"

#include <nlohmann/json.hpp>

#include <filesystem>

namespace fs = std::filesystem;
using json = nlohmann::json;
using W = KivAefTestWriter;

namespace {

// The application Shop: Orders as the IDE writes it, and Util with HELP of the given source;
// without Orders and with a module Extra when `moved`.
std::string ShopAef(const std::string& helpSource = "FUNCTION Help()\r\nRETURN NIL\r\n", bool moved = false) {
    W w = W::Aef();
    w.AppName("Shop").AppInfo(1300000000, 1200000000);
    if (moved) {
        w.Module("Extra", 1, 2);
        w.Entity({"EXTRA", 3, 17, "FUNCTION Extra()", "FUNCTION Extra()\r\n"});
    } else {
        w.IdeModule("Orders");
    }
    w.Module("Util", 1100000000, 1000000000);
    w.Entity({"HELP", 3, 17, "FUNCTION Help()", helpSource});
    w.Entity({"START", 3, 17, "FUNCTION Start()", "FUNCTION Start()\r\nRETURN 0\r\n"});
    return w.End();
}


} // namespace

class KivMefCommandsTest : public KivTestHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        WriteFile(Scratch() / "old.aef", ShopAef());
        ASSERT_EQ(Kivrepo({"import-aef", (Scratch() / "old.aef").string(), "Shop"}).code, 0);
    }
};

TEST_F(KivMefCommandsTest, ExportImportExportGivesTheSameFiles) {
    const fs::path out = Scratch() / "scm";
    CliRun r = Kivrepo({"export-mef", "Shop", out.string(), "--prg"});
    ASSERT_EQ(r.code, 0) << r.err;
    json doc = json::parse(r.out);
    EXPECT_EQ(doc["outcome"], "done");
    ASSERT_EQ(doc["files"].size(), 4u);
    EXPECT_EQ(doc["files"][2]["module"], "Util");
    EXPECT_EQ(doc["files"][2]["entities"], 2);
    const auto first = ReadFolder(out / "Shop");
    EXPECT_EQ(first.at("Orders.MEF"), W::Mef().IdeModule("Orders").End());
    // The PRG beside each MEF is the one export-prg writes.
    ASSERT_EQ(Kivrepo({"export-prg", "Shop", (Scratch() / "prg").string()}).code, 0);
    EXPECT_EQ(first.at("Util.prg"), ReadFile(Scratch() / "prg" / "Shop" / "Util.prg"));

    ASSERT_EQ(Kivrepo({"create-project", "Copy", (Scratch() / "copy").string()}).code, 0);
    r = Kivrepo({"import-mef", "Mirror", (out / "Shop").string(), "--project", "Copy"});
    ASSERT_EQ(r.code, 0) << r.err;
    doc = json::parse(r.out);
    EXPECT_EQ(doc["application"], "Mirror");
    ASSERT_EQ(doc["files"].size(), 2u);
    EXPECT_EQ(doc["files"][0]["module"], "Orders");
    EXPECT_EQ(doc["files"][0]["entities"], 3);
    ASSERT_EQ(Kivrepo({"export-mef", "Mirror", (Scratch() / "again").string(), "--project", "copy"}).code, 0);
    auto again = ReadFolder(Scratch() / "again" / "Mirror");
    EXPECT_EQ(again.at("Orders.MEF"), first.at("Orders.MEF"));
    EXPECT_EQ(again.at("Util.MEF"), first.at("Util.MEF"));

    // A MEF no module writes any more is named, and left alone.
    WriteFile(out / "Shop" / "Gone.mef", "old module");
    r = Kivrepo({"export-mef", "Shop", out.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    doc = json::parse(r.out);
    ASSERT_EQ(doc["stale"].size(), 1u);
    EXPECT_TRUE(doc["stale"][0].get<std::string>().ends_with("/Shop/Gone.mef")) << doc["stale"];
    EXPECT_TRUE(fs::exists(out / "Shop" / "Gone.mef"));

    // A file that is no MEF is reported with its reason; the others still come in.
    WriteFile(Scratch() / "bad.mef", "not a module");
    r = Kivrepo({"import-mef", "Mirror", (Scratch() / "bad.mef").string(), (out / "Shop" / "Util.MEF").string(),
                 "--project", "Copy"});
    EXPECT_EQ(r.code, 1);
    doc = json::parse(r.out);
    EXPECT_EQ(doc["files"][0]["error"], "Invalid MEF File STRUCTURE");
    EXPECT_EQ(doc["files"][1]["entities"], 2);
    EXPECT_EQ(Kivrepo({"import-mef", "Mirror", (Scratch() / "none").string()}).code, 1);
}

TEST_F(KivMefCommandsTest, DiffNamesWhatChanged) {
    WriteFile(Scratch() / "changed.aef", ShopAef("FUNCTION Help()\r\nRETURN 1\r\n"));
    WriteFile(Scratch() / "moved.aef", ShopAef("FUNCTION Help()\r\nRETURN NIL\r\n", true));
    WriteFile(Scratch() / "empty.prg", "");
    ASSERT_EQ(Kivrepo({"export-mef", "Shop", (Scratch() / "scm").string()}).code, 0);
    const std::string old = (Scratch() / "old.aef").string();
    struct Case {
        std::string before, after;
        int code;
        json modules;
    };
    const Case cases[] = {
        {old, old, 0, json::array()},
        {"repo:default/SHOP", old, 0, json::array()},
        {(Scratch() / "scm" / "Shop" / "Util.MEF").string(), "repo:Default/Shop/util", 0, json::array()},
        {old, (Scratch() / "changed.aef").string(), 1,
         json::parse(R"([{"name": "Util", "change": "changed", "entities": [
             {"name": "HELP", "change": "changed", "prototype": false, "source": true}]}])")},
        // Two single modules are compared whatever their names; an empty PRG has no entities.
        {(Scratch() / "scm" / "Shop" / "Util.MEF").string(), (Scratch() / "empty.prg").string(), 1,
         json::parse(R"([{"name": "empty", "oldName": "Util", "change": "changed", "entities": [
             {"name": "HELP", "change": "removed"}, {"name": "START", "change": "removed"}]}])")},
        {old, (Scratch() / "moved.aef").string(), 1,
         json::parse(R"([{"name": "Extra", "change": "added", "entityCount": 1},
                         {"name": "Orders", "change": "removed", "entityCount": 2}])")},
    };
    for (const Case& c : cases) {
        CliRun r = Kivrepo({"diff", c.before, c.after});
        EXPECT_EQ(r.code, c.code) << c.before << " " << c.after << r.err;
        if (r.code == c.code) {
            EXPECT_EQ(json::parse(r.out)["modules"], c.modules) << c.after;
        }
    }

    CliRun r = Kivrepo({"diff", old, (Scratch() / "changed.aef").string(), "--text"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("@@ -1,2 +1,2 @@\n FUNCTION Help()\n-RETURN NIL\n+RETURN 1\n"), std::string::npos)
        << r.out;
    for (const std::string& bad :
         std::vector<std::string>{"repo:Default", "repo:Default/Nothing", (Scratch() / "none.aef").string()})
        EXPECT_EQ(Kivrepo({"diff", old, bad}).code, 2) << bad;
}
