#include "KivCliRun.h"
#include "common/KivAefTestWriter.h"
#include "engine/KivSqliteEngine.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <regex>
#include <vector>

namespace {

using W = KivAefTestWriter;

} // namespace

class KivRepoCommandsTest : public KivCliHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        const char* tz = std::getenv("TZ");
        m_hadTz = tz != nullptr;
        m_tz = tz ? tz : "";
        setenv("TZ", "UTC0", 1);
    }
    void TearDown() override {
        if (m_hadTz)
            setenv("TZ", m_tz.c_str(), 1);
        else
            unsetenv("TZ");
        KivTestHome::TearDown();
    }

    // An application "Shop" using "Base", with Windows-1252 text in its description and source.
    std::string ShopAef() {
        W w = W::Aef();
        w.AppName("Shop");
        w.Text(0x000D, "C:\\OUT\\SHOP.EXE");
        w.Text(0x0004, "Base");
        w.Text(0x0005, "STD.UDC");
        w.Text(0x000F, "Caf\xe9 \x80 \x81");
        w.AppInfo(1300000000, 1200000000);
        w.Text(0x0122, "WIN.CH");
        w.Module("Main", 1100000000, 1000000000);
        w.Entity(
            {"START", 3, 17, "func Start()", std::string("FUNCTION Start()\r\nRETURN \"\x93\"\r\n\0", 31)});
        w.Entity({"ORDER:INIT", 3, 21, "METHOD Init()\tCLASS Order", "METHOD Init() CLASS Order\r\n"});
        const std::string file = (Scratch() / "shop.aef").string();
        WriteFile(file, w.End());
        return file;
    }
    std::string BaseAef() {
        const std::string file = (Scratch() / "base.aef").string();
        WriteFile(file, W::Aef().AppName("Base").AppInfo(1300000000, 1200000000, true).End());
        return file;
    }

    bool m_hadTz = false;
    std::string m_tz;
};

TEST_F(KivRepoCommandsTest, ListPrintsTheRepositoryInListOrder) {
    ASSERT_EQ(Kivrepo({"import-aef", BaseAef(), "Base"}).code, 0);
    CliRun r = Kivrepo({"import-aef", ShopAef(), "Shop"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(Kivrepo({"create-project", "Archive", (Scratch() / "archive").string()}).code, 0);

    r = Kivrepo({"list"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto doc = nlohmann::json::parse(r.out);
    ASSERT_EQ(doc["projects"].size(), 2u);
    const auto& archive = doc["projects"][0];
    EXPECT_EQ(archive["name"], "Archive");
    EXPECT_EQ(archive["dir"],
              "Z:" + std::regex_replace((Scratch() / "archive").string(), std::regex("/"), "\\"));
    EXPECT_EQ(archive["current"], false);
    EXPECT_TRUE(archive["applications"].empty());

    const auto& project = doc["projects"][1];
    EXPECT_EQ(project["name"], "Default");
    EXPECT_EQ(project["current"], true);
    ASSERT_EQ(project["applications"].size(), 2u);
    EXPECT_EQ(project["applications"][0]["name"], "Base");
    EXPECT_EQ(project["applications"][0]["type"], "Library");
    const auto& shop = project["applications"][1];
    EXPECT_EQ(shop["name"], "Shop");
    EXPECT_EQ(shop["type"], "Executable");
    EXPECT_EQ(shop["exeName"], "C:\\OUT\\SHOP.EXE");
    EXPECT_EQ(shop["description"], "Caf\u00e9 \u20ac \u0081");
    EXPECT_EQ(shop["debug"], false);
    EXPECT_EQ(shop["libraries"], nlohmann::json::array({"Base"}));
    EXPECT_EQ(shop["udc"], nlohmann::json::array({"STD.UDC"}));
    EXPECT_EQ(shop["ch"], nlohmann::json::array({"WIN.CH"}));
    EXPECT_EQ(shop["created"], "2008-01-10 21:20:00");
    EXPECT_EQ(shop["lastBuild"], "2011-03-13 07:06:40");
    ASSERT_EQ(shop["modules"].size(), 1u);
    const auto& module = shop["modules"][0];
    EXPECT_EQ(module["name"], "Main");
    EXPECT_EQ(module["external"], "");
    EXPECT_EQ(module["visible"], true);
    EXPECT_EQ(module["created"], "2001-09-09 01:46:40");
    ASSERT_EQ(module["entities"].size(), 2u);
    const auto& method = module["entities"][0];
    EXPECT_EQ(method["name"], "ORDER:INIT");
    EXPECT_EQ(method["blockType"], "METHOD");
    EXPECT_EQ(method["type"], "METHOD");
    EXPECT_EQ(method["visibility"], "PUBLIC");
    EXPECT_EQ(method["info"], "Order:Init");
    EXPECT_EQ(method["voPrototype"], "METHOD Init() CLASS Order");
    const auto& start = module["entities"][1];
    EXPECT_EQ(start["numType"], 3);
    EXPECT_EQ(start["prototype"], "FUNCTION Start()");
    EXPECT_EQ(start["sourceLength"], 30) << "without the NUL bytes";
    EXPECT_EQ(start["created"], "2001-09-09 01:46:40");
    EXPECT_EQ(start["lastBuild"], "2004-11-09 11:33:20");
    EXPECT_FALSE(start.contains("source"));

    r = Kivrepo({"list", "--project", "default", "--source"});
    ASSERT_EQ(r.code, 0) << r.err;
    doc = nlohmann::json::parse(r.out);
    ASSERT_EQ(doc["projects"].size(), 1u);
    EXPECT_EQ(doc["projects"][0]["name"], "Default");
    EXPECT_EQ(doc["projects"][0]["applications"][1]["modules"][0]["entities"][1]["source"],
              "FUNCTION Start()\r\nRETURN \"\u201c\"\r\n");
}

TEST_F(KivRepoCommandsTest, SelectionPersistsAndListingKeepsIt) {
    ASSERT_EQ(Kivrepo({"create-project", "Other", (Scratch() / "other").string()}).code, 0);
    ASSERT_EQ(Kivrepo({"import-aef", BaseAef(), "Base", "--project", "Other"}).code, 0);
    auto current = [] {
        auto doc = nlohmann::json::parse(Kivrepo({"list"}).out);
        for (const auto& p : doc["projects"])
            if (p["current"] == true)
                return p["name"].get<std::string>();
        return std::string();
    };
    EXPECT_EQ(current(), "Default") << "importing into another project leaves the current one";
    CliRun r = Kivrepo({"select-project", "OTHER"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(current(), "Other");
    EXPECT_EQ(current(), "Other");
    r = Kivrepo({"select-project", "Nowhere"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Project not found: Nowhere\n");
    EXPECT_EQ(current(), "Other");
}

TEST_F(KivRepoCommandsTest, ImportReplacesOrMergesAndExportWritesBothForms) {
    const std::string shop = ShopAef();
    ASSERT_EQ(Kivrepo({"import-aef", BaseAef(), "Base"}).code, 0);
    ASSERT_EQ(Kivrepo({"import-aef", shop, "Shop"}).code, 0);
    ASSERT_EQ(Kivrepo({"export-aef", "shop", (Scratch() / "out.aef").string()}).code, 0);
    ASSERT_EQ(Kivrepo({"export-aef", "Shop", (Scratch() / "dll.aef").string(), "--dll"}).code, 0);
    EXPECT_NE(ReadFile(Scratch() / "out.aef"), ReadFile(Scratch() / "dll.aef"));
    // Exported through a link over a private file: the link and the file's mode stay.
    namespace fs = std::filesystem;
    const fs::path kept = Scratch() / "kept.aef", link = Scratch() / "link.aef";
    WriteFile(kept, "old");
    fs::permissions(kept, fs::perms(0600));
    fs::create_symlink(kept, link);
    ASSERT_EQ(Kivrepo({"export-aef", "Shop", link.string()}).code, 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(kept), ReadFile(Scratch() / "out.aef"));
    EXPECT_EQ(fs::status(kept).permissions(), fs::perms(0600));

    // The Base file's application goes into Shop: merged, Shop keeps its module; replaced, not.
    auto modules = [] {
        auto doc = nlohmann::json::parse(Kivrepo({"list"}).out);
        return doc["projects"][0]["applications"][1]["modules"].size();
    };
    ASSERT_EQ(Kivrepo({"import-aef", BaseAef(), "Shop", "--merge"}).code, 0);
    EXPECT_EQ(modules(), 1u);
    ASSERT_EQ(Kivrepo({"import-aef", BaseAef(), "Shop"}).code, 0);
    EXPECT_EQ(modules(), 0u);
}

TEST_F(KivRepoCommandsTest, FailuresExitWithOneAndTheSystemsText) {
    CliRun r = Kivrepo({"import-aef", (Scratch() / "missing.aef").string(), "X"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error AdamImportApp: The system cannot find the file specified.\n");
    r = Kivrepo({"export-aef", "Nowhere", (Scratch() / "x.aef").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Application not found: Nowhere\n");
    r = Kivrepo({"import-aef", BaseAef(), "Base", "--project", "Nowhere"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Project not found: Nowhere\n");
    r = Kivrepo({"create-project", "default", (Scratch() / "d").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error PrjCreate: The name is already taken.\n");
    EXPECT_EQ(r.out, "");

    // Another process holds the repository.
    KivSqliteEngine holder;
    uint32_t created = 0;
    ASSERT_EQ(holder.AdamInit(0, &created), 0u);
    r = Kivrepo({"list"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Failed to Initialize Repository !!\nAlready Open ?\nError AdamInit: The repository is "
                     "already open.\n");
}

TEST_F(KivRepoCommandsTest, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Kivrepo({"create-project", "OnlyName"}).code, 2);
    EXPECT_EQ(Kivrepo({"import-aef", "file.aef"}).code, 2);
    EXPECT_EQ(Kivrepo({"export-aef", "App", "file.aef", "--bogus"}).code, 2);
    EXPECT_EQ(Kivrepo({"list", "extra"}).code, 2);
}
