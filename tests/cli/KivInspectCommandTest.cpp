#include "KivCliRun.h"
#include "common/KivAefTestWriter.h"

#include <vector>

namespace {

CliRun Inspect(const std::filesystem::path& file) {
    return Kivrepo({"inspect", file.string()});
}

std::vector<std::string> Keys(const nlohmann::ordered_json& object) {
    std::vector<std::string> keys;
    for (const auto& item : object.items())
        keys.push_back(item.key());
    return keys;
}

const std::vector<std::string> kEntityKeys{"name",      "type",        "visibility",  "info",
                                           "prototype", "voPrototype", "sourceLength"};

KivTestEntity Func(const std::string& name, const std::string& prototype) {
    KivTestEntity e;
    e.name = name;
    e.prototype = prototype;
    e.source = prototype + "\r\nRETURN NIL\r\n";
    return e;
}

} // namespace

using InspectCommandTest = KivCliHome;

TEST_F(InspectCommandTest, Aef) {
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName("D\xE9mo").Text(0x000D, "DEMO.EXE").Text(0x0004, "System Library").Text(0x0005, "my.udc");
    w.Text(0x000F, "Description").AppInfo(1700000000, 1600000000, true);
    w.Module("Start", 0, 0).Entity(Func("Start", "FUNCTION Start()"));
    w.Module("Ext", 0, 0).Text(0x0022, "C:\\x.prg");
    WriteFile(Scratch() / "demo.aef", w.End());

    CliRun r = Inspect(Scratch() / "demo.aef");
    ASSERT_EQ(r.code, 0) << r.err;
    auto doc = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(Keys(doc), (std::vector<std::string>{"kind", "name", "success", "version", "exeName",
                                                   "description", "isLibrary", "isDLL", "libraries", "udc",
                                                   "created", "lastBuild", "modules"}));
    EXPECT_EQ(doc["kind"], "AEF");
    EXPECT_EQ(doc["name"], "D\xC3\xA9mo");
    EXPECT_EQ(doc["version"], "CA-Visual Objects 2.0");
    EXPECT_EQ(doc["exeName"], "DEMO.EXE");
    EXPECT_EQ(doc["isLibrary"], true);
    EXPECT_EQ(doc["isDLL"], false);
    EXPECT_EQ(doc["libraries"], nlohmann::json::array({"System Library"}));
    EXPECT_EQ(doc["udc"], nlohmann::json::array({"my.udc"}));
    EXPECT_EQ(doc["created"], "2020-09-13 12:26:40");
    EXPECT_EQ(doc["lastBuild"], "2023-11-14 22:13:20");
    ASSERT_EQ(doc["modules"].size(), 2u);
    const auto& start = doc["modules"][0];
    EXPECT_EQ(Keys(start), (std::vector<std::string>{"name", "success", "external", "entities"}));
    EXPECT_EQ(start["name"], "Start");
    EXPECT_EQ(start["success"], true);
    ASSERT_EQ(start["entities"].size(), 1u);
    const auto& entity = start["entities"][0];
    EXPECT_EQ(Keys(entity), kEntityKeys);
    EXPECT_EQ(entity["type"], "FUNCTION");
    EXPECT_EQ(entity["visibility"], "PUBLIC");
    EXPECT_EQ(entity["info"], "Start");
    EXPECT_EQ(entity["prototype"], "FUNCTION Start (  )");
    EXPECT_EQ(entity["sourceLength"], 30);
    EXPECT_EQ(doc["modules"][1]["external"], "C:\\x.prg");
}

TEST_F(InspectCommandTest, MefAndPrg) {
    KivAefTestWriter w = KivAefTestWriter::Mef();
    w.Module("Mod", 0, 0).Entity(Func("B", "FUNCTION B()")).Entity(Func("\x80uro", "FUNCTION \x80uro()"));
    WriteFile(Scratch() / "mod.mef", w.End());
    CliRun r = Inspect(Scratch() / "mod.mef");
    ASSERT_EQ(r.code, 0) << r.err;
    auto doc = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(Keys(doc),
              (std::vector<std::string>{"kind", "name", "success", "valid", "external", "entities"}));
    EXPECT_EQ(doc["kind"], "MEF");
    EXPECT_EQ(doc["valid"], true);
    ASSERT_EQ(doc["entities"].size(), 2u);
    EXPECT_EQ(doc["entities"][1]["name"], "\xE2\x82\xACuro");
    EXPECT_EQ(doc["entities"][1]["type"], "FUNCTION");

    WriteFile(Scratch() / "src.prg", "FUNCTION Zed()\r\nRETURN 1\r\nFUNCTION Abc()\r\n");
    r = Inspect(Scratch() / "src.prg");
    ASSERT_EQ(r.code, 0) << r.err;
    doc = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(Keys(doc), (std::vector<std::string>{"kind", "fileName", "success", "entities"}));
    EXPECT_EQ(doc["fileName"], "src");
    ASSERT_EQ(doc["entities"].size(), 2u);
    std::vector<std::string> prgKeys = kEntityKeys;
    prgKeys.insert(prgKeys.end(), {"firstLine", "lastLine"});
    EXPECT_EQ(Keys(doc["entities"][0]), prgKeys);
    EXPECT_EQ(doc["entities"][0]["name"], "Abc");
    EXPECT_EQ(doc["entities"][0]["firstLine"], 3);
    EXPECT_EQ(doc["entities"][1]["lastLine"], 2);
}

TEST_F(InspectCommandTest, InvalidAndDamagedFiles) {
    CliRun r = Inspect(Scratch() / "missing.aef");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err, "");

    KivAefTestWriter v;
    v.Record(0x0001, KivAefTestWriter::U16Bytes(0x0200) + std::string(30, '\0'));
    WriteFile(Scratch() / "old.aef", v.End());
    r = Inspect(Scratch() / "old.aef");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Invalid AEF File version\n");

    KivAefTestWriter m;
    m.Record(0x0001, KivAefTestWriter::U16Bytes(0x0300) + std::string(25, '\0'));
    WriteFile(Scratch() / "old.mef", m.End());
    r = Inspect(Scratch() / "old.mef");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err, "");

    // What was read before the damage is shown; the status says the file is damaged.
    KivAefTestWriter d = KivAefTestWriter::Aef();
    d.AppName("App").Module("Start", 0, 0).Entity(Func("F", "FUNCTION F()"));
    const std::string bytes = d.Bytes();
    WriteFile(Scratch() / "cut.aef", bytes.substr(0, bytes.size() - 10));
    r = Inspect(Scratch() / "cut.aef");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Damaged AEF file"), std::string::npos) << r.err;
    auto doc = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(doc["name"], "App");
    EXPECT_EQ(doc["modules"][0]["name"], "Start");
    EXPECT_EQ(doc["modules"][0]["success"], false);

    // Whole modules, but two of one name: the engine would not import it, and neither says inspect.
    KivAefTestWriter t = KivAefTestWriter::Aef();
    t.AppName("App").Module("Start", 0, 0).Module("START", 0, 0);
    WriteFile(Scratch() / "twice.aef", t.End());
    r = Inspect(Scratch() / "twice.aef");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Damaged AEF file: two modules named START\n");
    doc = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(doc["success"], false);
    EXPECT_EQ(doc["modules"].size(), 2u);
}
