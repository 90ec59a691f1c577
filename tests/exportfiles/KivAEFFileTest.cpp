#include "exportfiles/KivAEFFile.h"
#include "exportfiles/KivEntityAbstract.h"
#include "exportfiles/KivMEFFile.h"

#include "common/KivAefTestWriter.h"
#include "common/KivTestHome.h"

#include <filesystem>

namespace {

constexpr uint32_t kBuilt = 1700000000;   // 2023-11-14 22:13:20 UTC
constexpr uint32_t kCreated = 1600000000; // 2020-09-13 12:26:40 UTC

KivTestEntity Func(const std::string& name) {
    KivTestEntity e;
    e.name = name;
    e.prototype = "FUNCTION " + name + "()";
    e.source = "FUNCTION " + name + "()\r\nRETURN NIL\r\n";
    return e;
}

// An application with two libraries, a UDC and the modules Start (two entities) and Other.
KivAefTestWriter SampleAef() {
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName("Demo").Text(0x000D, "DEMO.EXE").Text(0x0004, "System Library").Text(0x0004, "GUI Classes");
    w.Text(0x0005, "C:\\UDC\\my.udc").Record(0x0006, std::string(4, '\1')).Text(0x0100, "#command X => Y");
    w.Text(0x000F, "A demo \xE9");
    w.AppInfo(kBuilt, kCreated);
    w.Module("Start", kBuilt, kCreated).Entity(Func("Start")).Entity(Func("Helper"));
    w.Module("Other", kBuilt, kCreated).Entity(Func("Zed"));
    return w;
}

} // namespace

class AEFFileTest : public KivTestHome {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        WriteFile(Scratch() / name, bytes);
        return ScratchDos(name);
    }
};

TEST_F(AEFFileTest, ReadsTheApplicationAndItsModules) {
    const std::string path = Write("demo.aef", SampleAef().End());
    KivAEFFile aef(path);
    ASSERT_TRUE(aef.IsValid());
    EXPECT_TRUE(aef.Success());
    EXPECT_EQ(aef.ErrorCode(), 0u);
    EXPECT_EQ(aef.Name(), "Demo");
    EXPECT_EQ(aef.Version(), "CA-Visual Objects 2.0");
    EXPECT_EQ(aef.FullPath(), path);
    EXPECT_EQ(aef.ExeName(), "DEMO.EXE");
    EXPECT_EQ(aef.Description(), "A demo \xE9");
    EXPECT_EQ(aef.LibraryNameList(), (std::vector<std::string>{"System Library", "GUI Classes"}));
    ASSERT_EQ(aef.UDCList().size(), 1u);
    EXPECT_EQ(aef.UDCList()[0].first, "C:\\UDC\\my.udc");
    // The location is where the UDC's record starts: its tag is there.
    const std::string bytes = ReadFile(Scratch() / "demo.aef");
    EXPECT_EQ(bytes.substr(aef.UDCList()[0].second, 2), std::string("\x05\x00", 2));
    EXPECT_EQ(aef.UDCNameList(), std::vector<std::string>{"C:\\UDC\\my.udc"});
    EXPECT_TRUE(aef.IsApplication());
    EXPECT_FALSE(aef.IsDLL());
    EXPECT_FALSE(aef.IsLibrary());
    // Moments as stored, without a time zone.
    EXPECT_EQ(aef.LastBuildDate(), KivDate::FromYMD(2023, 11, 14));
    EXPECT_EQ(aef.LastBuildTime(), "22:13:20");
    EXPECT_EQ(aef.CreateDate(), KivDate::FromYMD(2020, 9, 13));
    EXPECT_EQ(aef.CreateTime(), "12:26:40");

    EXPECT_EQ(aef.ModuleNameList(), (std::vector<std::string>{"Start", "Other"}));
    auto modules = aef.ModuleList();
    ASSERT_EQ(modules.size(), 2u);
    EXPECT_EQ(aef.ModuleCount(), 2u);
    EXPECT_EQ(modules[0]->Name(), "Start");
    EXPECT_EQ(modules[0]->EntityNameList(), (std::vector<std::string>{"Start", "Helper"}));
    // A module inside an AEF stops at the next module.
    EXPECT_EQ(modules[1]->EntityNameList(), std::vector<std::string>{"Zed"});
    EXPECT_TRUE(modules[0]->IsMEF());
    EXPECT_TRUE(modules[0]->Success());

    aef.SortByName();
    EXPECT_EQ(aef.ModuleNameList(), (std::vector<std::string>{"Other", "Start"}));
}

TEST_F(AEFFileTest, TypeFlagsAndMissingInformation) {
    {
        KivAefTestWriter w = KivAefTestWriter::Aef();
        w.AppName("Lib").AppInfo(0, 0, true, false);
        KivAEFFile aef(Write("lib.aef", w.End()));
        EXPECT_TRUE(aef.IsLibrary());
        EXPECT_FALSE(aef.IsApplication());
    }
    {
        // The DLL byte wins over the library byte of the same record.
        KivAefTestWriter w = KivAefTestWriter::Aef();
        w.AppName("Dll").AppInfo(0, 0, true, true);
        KivAEFFile aef(Write("dll.aef", w.End()));
        EXPECT_TRUE(aef.IsDLL());
        EXPECT_FALSE(aef.IsLibrary());
    }
    {
        KivAefTestWriter w = KivAefTestWriter::Aef();
        w.AppName("Flag").U16(0x000B, 1);
        KivAEFFile aef(Write("flag.aef", w.End()));
        EXPECT_TRUE(aef.IsDLL());
    }
    {
        // No information record, no modules; a module with an empty name is left out, and the
        // file the engine would refuse is damaged.
        KivAefTestWriter w = KivAefTestWriter::Aef();
        w.AppName("Bare").Text(0x0020, "");
        KivAEFFile aef(Write("bare.aef", w.End()));
        EXPECT_FALSE(aef.Success());
        EXPECT_EQ(aef.ErrorString(), "Damaged AEF file: a module without a name at offset 108");
        EXPECT_EQ(aef.CreateDate(), KivDate::FromYMD(1970, 1, 1));
        EXPECT_EQ(aef.LastBuildTime(), "00:00:00");
        EXPECT_EQ(aef.ModuleCount(), 0u);
        EXPECT_TRUE(aef.ModuleList().empty());
        EXPECT_EQ(aef.ModuleFind(""), nullptr);
    }
}

TEST_F(AEFFileTest, RefusesWhatIsNoAef) {
    {
        KivAEFFile aef(ScratchDos("missing.aef"));
        EXPECT_FALSE(aef.IsValid());
        EXPECT_FALSE(aef.Success());
        EXPECT_EQ(aef.ErrorString(), "");
    }
    {
        // A MEF header has the wrong length for an AEF: refused without a text.
        KivAEFFile aef(Write("module.mef", KivAefTestWriter::Mef().End()));
        EXPECT_FALSE(aef.IsValid());
        EXPECT_EQ(aef.ErrorString(), "");
    }
    for (uint16_t word : {uint16_t(0x0200), uint16_t(0x0380), uint16_t(0x0080)}) {
        KivAefTestWriter w;
        w.Record(0x0001,
                 KivAefTestWriter::U16Bytes(word) + std::string("CA-VO Application Export File") + '\0');
        KivAEFFile aef(Write("version.aef", w.End()));
        EXPECT_FALSE(aef.IsValid()) << word;
        EXPECT_FALSE(aef.Success());
        EXPECT_EQ(aef.ErrorCode(), 1u);
        EXPECT_EQ(aef.ErrorString(), "Invalid AEF File version");
    }
    {
        KivAefTestWriter w;
        w.Record(0x0001, KivAefTestWriter::U16Bytes(0x0180) + std::string(30, 'x'));
        KivAEFFile aef(Write("v1.aef", w.End()));
        EXPECT_TRUE(aef.IsValid());
        EXPECT_EQ(aef.Version(), "CA-Visual Objects 1.0");
    }
}

TEST_F(AEFFileTest, ModuleFindIsExactAndModulesOutliveTheFileObject) {
    std::shared_ptr<KivModuleAbstract> start;
    {
        KivAEFFile aef(Write("demo.aef", SampleAef().End()));
        EXPECT_EQ(aef.ModuleFind("start"), nullptr);
        EXPECT_EQ(aef.ModuleFind("Star"), nullptr);
        start = aef.ModuleFind("Start");
        ASSERT_NE(start, nullptr);
        aef.Close();
        EXPECT_FALSE(aef.Success());
        EXPECT_TRUE(aef.ModuleList().empty());
        EXPECT_EQ(aef.ModuleCount(), 0u);
    }
    auto entity = start->EntityFind("helper");
    ASSERT_NE(entity, nullptr);
    EXPECT_EQ(entity->Source(), "FUNCTION Helper()\r\nRETURN NIL\r\n");
}

TEST_F(AEFFileTest, ExportModuleWritesAMefOfTheModule) {
    const KivAefTestWriter sample = SampleAef();
    const std::string bytes = sample.End();
    KivAEFFile aef(Write("demo.aef", bytes));
    const std::string mefHeader = KivAefTestWriter::Mef().Bytes();
    const std::string end = KivAefTestWriter::Head(0xFFFF, 0);
    const size_t start = bytes.find(KivAefTestWriter::Head(0x0020, 6) + "Start");
    const size_t other = bytes.find(KivAefTestWriter::Head(0x0020, 6) + "Other");
    const size_t last = bytes.size() - end.size();
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(other, std::string::npos);

    ASSERT_TRUE(aef.ExportModule("Start", ScratchDos("start.mef")));
    EXPECT_EQ(ReadFile(Scratch() / "start.mef"), mefHeader + bytes.substr(start, other - start) + end);
    ASSERT_TRUE(aef.ExportModule("Other", ScratchDos("other.mef")));
    EXPECT_EQ(ReadFile(Scratch() / "other.mef"), mefHeader + bytes.substr(other, last - other) + end);

    // The written file reads back as the same module, and exports to the same bytes again.
    KivMEFFile mef(ScratchDos("other.mef"));
    EXPECT_TRUE(mef.Success());
    EXPECT_EQ(mef.Name(), "Other");
    EXPECT_EQ(mef.EntityNameList(), std::vector<std::string>{"Zed"});
    ASSERT_TRUE(mef.ExportModule(ScratchDos("again.mef")));
    EXPECT_EQ(ReadFile(Scratch() / "again.mef"), ReadFile(Scratch() / "other.mef"));

    EXPECT_FALSE(aef.ExportModule("start", ScratchDos("none.mef")));
    EXPECT_FALSE(aef.ExportModule("Start", ""));
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "none.mef"));
}

TEST_F(AEFFileTest, FailedExportLeavesNoFile) {
    KivAEFFile aef(Write("demo.aef", SampleAef().End()));
    // A full disk.
    EXPECT_FALSE(aef.ExportModule("Start", "Z:\\dev\\full"));
    // A regular file used as a folder.
    WriteFile(Scratch() / "plain", "x");
    EXPECT_FALSE(aef.ExportModule("Start", ScratchDos("plain\\start.mef")));
    // A drive that is not mapped.
    EXPECT_FALSE(aef.ExportModule("Start", "D:\\start.mef"));
    // A folder in the target's place is left alone.
    std::filesystem::create_directory(Scratch() / "dir.mef");
    EXPECT_FALSE(aef.ExportModule("Start", ScratchDos("dir.mef")));
    EXPECT_TRUE(std::filesystem::is_directory(Scratch() / "dir.mef"));
    // Nothing half-written stays beside the targets.
    for (const auto& item : std::filesystem::directory_iterator(Scratch()))
        EXPECT_TRUE(item.path().filename() == "demo.aef" || item.path().filename() == "plain" ||
                    item.path().filename() == "dir.mef")
            << item.path();
}

TEST_F(AEFFileTest, ExportReplacesAnExistingFileWhole) {
    KivAEFFile aef(Write("demo.aef", SampleAef().End()));
    WriteFile(Scratch() / "start.mef", std::string(100000, 'z'));
    ASSERT_TRUE(aef.ExportModule("Start", ScratchDos("start.mef")));
    KivMEFFile mef(ScratchDos("start.mef"));
    EXPECT_TRUE(mef.Success());
    EXPECT_EQ(mef.EntityCount(), 2u);
    EXPECT_EQ(ReadFile(Scratch() / "start.mef").find('z'), std::string::npos);
}

// The modules the application lists are gathered in its one walk; each must read exactly as the
// same module walked on its own (here: written out and read back), also where a module's entities
// are odd: one without a prototype, a second information record, a nameless module between.
TEST_F(AEFFileTest, ListedModulesReadAsTheModuleWalkedAlone) {
    auto entity = [](const std::string& name, uint32_t created) {
        KivTestEntity e;
        e.name = name;
        e.prototype = "FUNCTION " + name + "(a)";
        e.source = "FUNCTION " + name + "(a)\r\nRETURN a\r\n";
        e.created = created;
        return e;
    };
    KivTestEntity unlisted = entity("NoProto", 5);
    unlisted.prototype.clear();
    KivTestEntity twice = entity("Twice", 6);
    std::string info(84, '\0');
    info.replace(28, 4, KivAefTestWriter::U32Bytes(1234567890));
    twice.extra.emplace_back(0x010D, info);
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName("App").Module("One", kBuilt, kBuilt - 100).Entity(entity("Beta", 1)).Entity(entity("Alpha", 2));
    w.Module("", 0, 0).Entity(entity("Hidden", 3));
    w.Module("Two", 0, 0).Entity(twice).Entity(unlisted).Entity(entity("Last", 4));
    WriteFile(Scratch() / "odd.aef", w.End());

    KivAEFFile aef(ScratchDos("odd.aef"));
    EXPECT_FALSE(aef.Success()) << "the module without a name";
    ASSERT_EQ(aef.ModuleNameList(), (std::vector<std::string>{"One", "Two"}));
    for (const std::string& name : aef.ModuleNameList()) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(aef.ExportModule(name, ScratchDos(name + ".mef")));
        KivMEFFile alone(ScratchDos(name + ".mef"));
        for (const auto& listed : {aef.ModuleFind(name), aef.ModuleList()[name == "One" ? 0 : 1]}) {
            ASSERT_NE(listed, nullptr);
            EXPECT_EQ(listed->Name(), alone.Name());
            EXPECT_EQ(listed->Success(), alone.Success());
            EXPECT_EQ(listed->LastBuildTime(), alone.LastBuildTime());
            EXPECT_EQ(listed->CreateDate(), alone.CreateDate());
            const auto a = listed->EntityList();
            const auto b = alone.EntityList();
            ASSERT_EQ(a.size(), b.size());
            for (size_t i = 0; i < a.size(); ++i) {
                EXPECT_EQ(a[i]->Name(), b[i]->Name());
                EXPECT_EQ(a[i]->VOPrototype(), b[i]->VOPrototype());
                EXPECT_EQ(a[i]->Source(), b[i]->Source());
                EXPECT_EQ(a[i]->CreateTime(), b[i]->CreateTime());
                EXPECT_EQ(a[i]->CreateDate(), b[i]->CreateDate());
            }
        }
    }
    // The nameless module's entity belongs to no module; the one without a prototype is counted
    // but not listed, which the module reports.
    EXPECT_EQ(aef.ModuleList()[0]->EntityNameList(), (std::vector<std::string>{"Beta", "Alpha"}));
    EXPECT_TRUE(aef.ModuleList()[0]->Success());
    EXPECT_EQ(aef.ModuleList()[1]->EntityNameList(), (std::vector<std::string>{"Twice", "Last"}));
    EXPECT_FALSE(aef.ModuleList()[1]->Success());
}

TEST_F(AEFFileTest, EntitiesAreMadeWhenAskedAndLiveWhileHeld) {
    std::shared_ptr<KivModuleAbstract> start;
    {
        KivAEFFile aef(Write("demo.aef", SampleAef().End()));
        start = aef.ModuleList()[0];
    }
    EXPECT_EQ(start->EntityCount(), 2u);
    // An order asked for before the entities are made holds for every listing after it.
    start->SortByName();
    auto first = start->EntityList();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0]->Name(), "Helper");
    // While any entity is held, every listing hands out the same objects.
    const std::weak_ptr<KivEntityAbstract> held = first[1];
    first.resize(1);
    EXPECT_EQ(start->EntityFind("start"), held.lock());
    // Once no one holds them, the module keeps none: the next listing makes them again.
    first.clear();
    EXPECT_TRUE(held.expired());
    EXPECT_EQ(start->EntityNameList(), (std::vector<std::string>{"Helper", "Start"}));
    EXPECT_EQ(start->EntityFind("start")->Source(), "FUNCTION Start()\r\nRETURN NIL\r\n");
}

// Another program cuts the file after it was opened: its modules read zeros where the lost pages
// were, and the file tells, so that what was read is not taken for the file.
TEST_F(AEFFileTest, AFileCutWhileReadSaysSo) {
    KivAefTestWriter w = SampleAef();
    KivTestEntity big = Func("Big");
    big.source = std::string(5 * 4096, 'x');
    w.Module("Last", kBuilt, kCreated).Entity(big);
    KivAEFFile aef(Write("demo.aef", w.End()));
    ASSERT_TRUE(aef.Success());
    EXPECT_FALSE(aef.Cut());
    std::filesystem::resize_file(Scratch() / "demo.aef", 4096);
    for (const auto& module : aef.ModuleList())
        for (const auto& entity : module->EntityList())
            (void)entity->Source();
    EXPECT_TRUE(aef.Cut());
}
