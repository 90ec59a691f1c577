#include "KivEngineFixture.h"

#include "common/KivAefTestWriter.h"
#include "platform/KivOsError.h"
#include "support/KivRecordStream.h"

using namespace kiv::engine;
using W = KivAefTestWriter;

namespace {

std::string Bytes(size_t n, char fill) {
    return std::string(n, fill);
}

// An application as the IDE writes it, with record kinds the engine knows nothing about at the
// application level (0x0109, 0x0107, 0x7A01), the module level (0x0024, 0x7B02, 0x0051, 0x0052,
// 0x004F) and the entity level (0x0051, 0x009C, 0x0084, 0x7C03, the window's trailing records).
W RichApplicationHead(const std::string& exe = "C:\\OUT\\ORDERS.EXE") {
    W w = W::Aef();
    w.AppName("Orders");
    w.Record(0x0109, W::U32Bytes(7));
    w.Record(0x0107, Bytes(76, '\x11'));
    w.Record(0x0107, Bytes(524, '\x22'));
    w.Text(0x000D, exe);
    w.Text(0x0108, "Sales");
    w.Text(0x0004, "Lib1");
    w.Text(0x0004, "Lib2");
    w.Text(0x0005, "C:\\CAVO25\\UDC\\STD.UDC");
    w.Record(0x0006, W::U32Bytes(1111));
    w.Record(0x0100, "#command FOO => BAR\r\n");
    w.Record(0x7A01, std::string("unknown\0app", 11));
    w.AppInfo(1300000000, 1200000000);
    w.Text(0x0122, "C:\\CAVO25\\CH\\WIN.CH");
    w.Record(0x0006, W::U32Bytes(2222));
    w.Record(0x0121, Bytes(300, '\x7f'));
    w.Text(0x0126, "C:\\AEF\\ORDERS.AEF");
    return w;
}

void FirstModule(W& w) {
    w.Module("Orders", 1250000000, 1150000000);
    w.Text(0x0024, "module description");
    w.Record(0x7B02, "mod");
    KivTestEntity f{"ORDER:INIT", 3, 21, "METHOD Init(n) CLASS Order",
                    std::string("METHOD Init(n) CLASS Order\r\n\tSELF:n := n // \x81\xe9\x01\r\n") +
                        Bytes(5, '\0')};
    f.extra = {{0x0084, "params"}, {0x7C03, std::string("\0\1\2", 3)}};
    w.Entity(f);
    KivTestEntity window{"ORDERWINDOW", 10, 10, "", ""};
    window.extra = {{0x0042, Bytes(200, '\x05')}};
    w.Entity(window);
    w.Record(0x0051, W::U16Bytes(2)).Record(0x0052, "x").Record(0x0128, "w").Record(0x0006, W::U32Bytes(5));
    w.Record(0x0129, Bytes(1536, '\x06'));
    w.Entity(KivTestEntity{"TOTAL", 3, 17, "FUNCTION Total()", "FUNCTION Total()\r\nRETURN 0\r\n"});
    w.Record(0x0051, W::U16Bytes(3)).Record(0x0052, "y").Record(0x004F, "ref");
    w.Text(0x0127, "C:\\MEF\\ORDERS.MEF");
}

void ExternalModule(W& w) {
    w.Module("Ext", 1260000000, 1160000000);
    w.Text(0x0022, "C:\\SRC\\EXT.PRG");
    w.Record(0x0101, "FUNCTION Ext()\r\nRETURN 1\r\n");
    w.Entity(KivTestEntity{"EXT", 3, 17, "FUNCTION Ext()", "FUNCTION Ext()\r\nRETURN 1\r\n"});
    w.Text(0x0127, "");
}

std::string RichApplication() {
    W w = RichApplicationHead();
    FirstModule(w);
    ExternalModule(w);
    return w.End();
}

std::vector<uint16_t> Tags(const std::string& stream) {
    std::vector<uint16_t> tags;
    KivRecordReader reader(stream);
    KivRecord r;
    while (reader.Next(r))
        tags.push_back(r.tag);
    EXPECT_TRUE(reader.AtEnd());
    return tags;
}

} // namespace

class KivExportRoundTripTest : public KivEngineTest {
protected:
    uint16_t Import(const std::string& bytes, const char* name = "", uint32_t replace = 1) {
        uint32_t app = 0;
        uint32_t modules = 0;
        EXPECT_EQ(E().AdamImportApp(ScratchFile("in.aef", bytes).c_str(), name, replace, 0, &app, &modules),
                  0u);
        return static_cast<uint16_t>(app);
    }
    std::string Export(uint16_t app, uint32_t form = 0) {
        uint32_t modules = 0;
        EXPECT_EQ(E().AdamExportApp(ScratchDos("out.aef").c_str(), app, form, &modules), 0u);
        return ReadFile(Scratch() / "out.aef");
    }
    uint32_t ModuleNamed(uint16_t app, const char* name) {
        uint32_t id = 0;
        EXPECT_EQ(E().ModFind(app, name, &id), 0u);
        return id;
    }
};

TEST_F(KivExportRoundTripTest, ImportedApplicationExportsAsTheSameRecords) {
    std::string original = RichApplication();
    uint16_t app = Import(original);
    ASSERT_NE(app, 0);
    std::string exported = Export(app);
    EXPECT_EQ(Tags(exported), Tags(original));
    EXPECT_EQ(exported, original);
}

TEST_F(KivExportRoundTripTest, ImportReadsWhatTheEngineInterprets) {
    uint16_t lib1 = NewApp("Lib1");
    uint16_t app = Import(RichApplication());
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryName(app, b, n); }), "Orders");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryExeName(app, b, n); }), "C:\\OUT\\ORDERS.EXE");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryGroupName(app, b, n); }), "Sales");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryExpName(app, b, n); }), "C:\\AEF\\ORDERS.AEF");
    uint32_t value = 0;
    ASSERT_EQ(E().AppQueryTime(app, &value), 0u);
    EXPECT_EQ(value, 1300000000u);
    ASSERT_EQ(E().AppQueryCreateTime(app, &value), 0u);
    EXPECT_EQ(value, 1200000000u);
    uint16_t lib = 0;
    ASSERT_EQ(E().AppSPathGetFirst(app, &lib), 0u);
    EXPECT_EQ(lib, lib1) << "Lib2 is not in the project and is left out of the walk";
    ASSERT_EQ(E().AppSPathGetNext(&lib), 0u);
    EXPECT_EQ(lib, 0);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppUDCGetFirst(app, b, n); }, 256),
              "C:\\CAVO25\\UDC\\STD.UDC");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppCHGetFirst(app, b, n); }, 260),
              "C:\\CAVO25\\CH\\WIN.CH");

    uint32_t orders = ModuleNamed(app, "orders");
    uint32_t ext = ModuleNamed(app, "Ext");
    EXPECT_EQ(Modules(app), (std::vector<uint32_t>{orders, ext}));
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().ModQueryExpName(orders, b, n); }),
              "C:\\MEF\\ORDERS.MEF");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().ModQueryExtern(ext, b, n); }), "C:\\SRC\\EXT.PRG");
    ASSERT_EQ(E().ModQueryTime(orders, &value), 0u);
    EXPECT_EQ(value, 1250000000u);
    EXPECT_EQ(EntityNames(orders), (std::vector<std::string>{"ORDER:INIT", "ORDERWINDOW", "TOTAL"}));

    std::vector<uint32_t> entities = Entities(orders);
    ASSERT_EQ(entities.size(), 3u);
    ASSERT_EQ(E().EntQueryType(entities[1], &value), 0u);
    EXPECT_EQ(value, 10u);
    ASSERT_EQ(E().EntQueryBlockType(entities[0], &value), 0u);
    EXPECT_EQ(value, 21u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().EntQueryProt(entities[0], b, n); }, 256),
              "METHOD Init(n) CLASS Order");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().EntQueryProt(entities[1], b, n); }, 256), "");
    EXPECT_EQ(Source(entities[0]),
              std::string("METHOD Init(n) CLASS Order\r\n\tSELF:n := n // \x81\xe9\x01\r\n") + Bytes(6, '\0'))
        << "bytes as they were, with all their NULs";
    KivRecordHandle record = 0;
    uint32_t length = 0;
    std::string custom;
    ASSERT_EQ(E().EntQueryData(entities[1], 4, &record, &length, nullptr, nullptr), 0u);
    ASSERT_EQ(E().RecGet(record, length, &custom), 0u);
    EXPECT_EQ(custom, Bytes(200, '\x05'));
    ASSERT_EQ(E().EntQueryCreateTime(entities[2], &value), 0u);
    EXPECT_EQ(value, 1000000000u);
    ASSERT_EQ(E().EntQueryTime(entities[2], &value), 0u);
    EXPECT_EQ(value, 1100000000u);
}

TEST_F(KivExportRoundTripTest, ChangedValuesChangeOnlyTheirRecords) {
    uint16_t app = Import(RichApplication());
    ASSERT_EQ(E().AppSetExeName(app, "D:\\NEW\\ORDERS2.EXE"), 0u);
    W expected = RichApplicationHead("D:\\NEW\\ORDERS2.EXE");
    FirstModule(expected);
    ExternalModule(expected);
    EXPECT_EQ(Export(app), expected.End());
}

TEST_F(KivExportRoundTripTest, NewValuesGoWhereTheIdeWritesThem) {
    uint16_t app = Import(RichApplication());
    ASSERT_EQ(E().AppAddUDC(app, "MY.UDC"), 0u);
    ASSERT_EQ(E().AppSetDescription(app, "Now described"), 0u);
    uint32_t module = NewModule(app, "Added");
    ASSERT_EQ(E().ModSetExpName(module, "C:\\MEF\\ADDED.MEF"), 0u);
    std::vector<uint16_t> tags = Tags(Export(app));
    std::vector<uint16_t> head(tags.begin(), tags.begin() + 17);
    EXPECT_EQ(head,
              (std::vector<uint16_t>{0x0001, 0x0002, 0x0109, 0x0107, 0x0107, 0x000D, 0x0108, 0x000F, 0x0004,
                                     0x0004, 0x0005, 0x0006, 0x0100, 0x7A01, 0x0005, 0x010F, 0x0122}));
    std::vector<uint16_t> last(tags.end() - 3, tags.end());
    EXPECT_EQ(last, (std::vector<uint16_t>{0x0020, 0x010E, 0x0127})) << "the new module, after the others";
}

TEST_F(KivExportRoundTripTest, ApplicationMadeInTheRepositoryIsWrittenInTheIdesOrder) {
    uint16_t app = NewApp("Fresh");
    uint16_t lib = NewApp("FreshLib");
    ASSERT_EQ(E().AppSetExeName(app, "FRESH.EXE"), 0u);
    ASSERT_EQ(E().AppSetGroupName(app, "G"), 0u);
    ASSERT_EQ(E().AppSetExpName(app, "C:\\FRESH.AEF"), 0u);
    ASSERT_EQ(E().AppAddSPath(app, lib), 0u);
    ASSERT_EQ(E().AppAddUDC(app, "a.udc"), 0u);
    ASSERT_EQ(E().AppAddCH(app, "a.ch"), 0u);
    uint32_t module = NewModule(app, "Code");
    ASSERT_EQ(E().ModSetExtern(module, ScratchFile("code.prg", "FUNCTION A()\r\nPROCEDURE B()\r\n").c_str(),
                               nullptr),
              0u);
    std::string first = Export(app);
    EXPECT_EQ(Tags(first), (std::vector<uint16_t>{0x0001, 0x0002, 0x000D, 0x0108, 0x0004, 0x0005, 0x010F,
                                                  0x0122, 0x0126,                                         //
                                                  0x0020, 0x010E, 0x0022, 0x0101,                         //
                                                  0x0040, 0x0044, 0x004D, 0x0041, 0x004E, 0x0123, 0x010D, //
                                                  0x0040, 0x0044, 0x004D, 0x0041, 0x004E, 0x0123, 0x010D}));
    KivRecordReader reader(first);
    KivRecord r;
    ASSERT_TRUE(reader.Next(r));
    EXPECT_EQ(r.data, std::string("\x80\x02", 2) + "CA-VO Application Export File" + '\0');
    ASSERT_TRUE(reader.Next(r));
    EXPECT_EQ(r.data.size(), 64u);
    EXPECT_EQ(KivRecordText(r.data), "Fresh");

    // Imported elsewhere and exported again, it gives the same bytes.
    ASSERT_EQ(E().PrjCreate("Elsewhere", ScratchDos("elsewhere").c_str(), 0), 0u);
    ASSERT_EQ(E().PrjSelect("Elsewhere"), 0u);
    uint16_t copy = Import(first);
    EXPECT_EQ(Export(copy), first);
}

TEST_F(KivExportRoundTripTest, ImportUnderAnotherName) {
    uint16_t app = Import(RichApplication(), "Renamed");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryName(app, b, n); }), "Renamed");
    std::string exported = Export(app);
    KivRecordReader reader(exported);
    KivRecord r;
    ASSERT_TRUE(reader.Next(r));
    ASSERT_TRUE(reader.Next(r));
    EXPECT_EQ(r.tag, 0x0002);
    EXPECT_EQ(r.data, std::string("Renamed") + Bytes(57, '\0'));
}

TEST_F(KivExportRoundTripTest, ReplaceDropsTheApplicationMergeReplacesModulesOfTheSameName) {
    auto aef = [](const char* exe, std::vector<std::pair<std::string, std::string>> modules) {
        W w = W::Aef();
        w.AppName("Shop").Text(0x000D, exe).AppInfo(1, 2);
        for (const auto& [name, function] : modules) {
            w.Module(name, 3, 4);
            w.Entity(KivTestEntity{function, 3, 17, "FUNCTION " + function + "()",
                                   "FUNCTION " + function + "()\r\n"});
        }
        return w.End();
    };
    uint16_t first = Import(aef("ONE.EXE", {{"M1", "A"}, {"M2", "B"}}));
    uint32_t m1 = ModuleNamed(first, "M1");
    uint32_t merged = 0;
    uint32_t count = 0;
    ASSERT_EQ(E().AdamImportApp(ScratchFile("merge.aef", aef("TWO.EXE", {{"m2", "C"}, {"M3", "D"}})).c_str(),
                                "Shop", 0, 0, &merged, &count),
              0u);
    EXPECT_EQ(merged, first);
    EXPECT_EQ(count, 2u);
    std::vector<uint32_t> modules = Modules(first);
    ASSERT_EQ(modules.size(), 3u);
    EXPECT_EQ(modules[0], m1);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().ModQueryName(modules[1], b, n); }), "m2")
        << "in M2's place";
    EXPECT_EQ(EntityNames(modules[1]), std::vector<std::string>{"C"});
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().ModQueryName(modules[2], b, n); }), "M3");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryExeName(first, b, n); }), "ONE.EXE")
        << "a merge keeps the application's own properties";

    uint16_t replaced = Import(aef("THREE.EXE", {{"M9", "Z"}}), "shop", 1);
    EXPECT_NE(replaced, first);
    EXPECT_EQ(Apps(), std::vector<uint16_t>{replaced});
    EXPECT_EQ(Modules(replaced).size(), 1u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryExeName(replaced, b, n); }), "THREE.EXE");
    char buffer[256];
    EXPECT_EQ(E().ModQueryName(m1, buffer, sizeof buffer), kBadId);
}

TEST_F(KivExportRoundTripTest, ModuleExportIsTheModulesRecordsInAMef) {
    std::string original = RichApplication();
    uint16_t app = Import(original);
    uint32_t orders = ModuleNamed(app, "Orders");
    uint32_t entities = 0;
    ASSERT_EQ(E().AdamExportMod(ScratchDos("orders.mef").c_str(), orders, 0, &entities), 0u);
    EXPECT_EQ(entities, 3u);
    std::string mef = ReadFile(Scratch() / "orders.mef");
    W only = W::Mef();
    FirstModule(only);
    EXPECT_EQ(mef, only.End());

    uint32_t copy = 0;
    ASSERT_EQ(E().AdamImportMod(ScratchDos("orders.mef").c_str(), "Copy", app, &entities, 0, 0, &copy), 0u);
    EXPECT_EQ(EntityNames(copy), EntityNames(orders));
}

TEST_F(KivExportRoundTripTest, DllFormDeclaresThePublicFunctions) {
    uint16_t app = NewApp("Maths");
    ASSERT_EQ(E().AppSetExeName(app, "C:\\BIN\\MATHLIB.DLL"), 0u);
    uint32_t module = NewModule(app, "Funcs");
    const char* prg = "FUNCTION Add(a, b)\r\nRETURN a + b\r\n"
                      "STATIC FUNCTION Hidden()\r\n"
                      "PROCEDURE Reset()\r\n"
                      "CLASS Calc\r\n"
                      "METHOD Run() CLASS Calc\r\n";
    ASSERT_EQ(E().ModSetExtern(module, ScratchFile("funcs.prg", prg).c_str(), nullptr), 0u);
    NewModule(app, "Empty");
    uint32_t modules = 0;
    ASSERT_EQ(E().AdamExportApp(ScratchDos("maths.aef").c_str(), app, 1, &modules), 0u);
    EXPECT_EQ(modules, 1u) << "a module without callable entities is left out";

    uint32_t imported = 0;
    ASSERT_EQ(E().AdamImportApp(ScratchDos("maths.aef").c_str(), "MathsDll", 0, 0, &imported, &modules), 0u);
    std::vector<uint32_t> mods = Modules(static_cast<uint16_t>(imported));
    ASSERT_EQ(mods.size(), 1u);
    EXPECT_EQ(EntityNames(mods[0]), (std::vector<std::string>{"ADD", "RESET"}));
    for (uint32_t entity : Entities(mods[0])) {
        uint32_t value = 0;
        ASSERT_EQ(E().EntQueryType(entity, &value), 0u);
        EXPECT_EQ(value, 1u);
        ASSERT_EQ(E().EntQueryBlockType(entity, &value), 0u);
        EXPECT_EQ(value, 17u);
    }
    std::string prototype =
        Text([&](char* b, size_t n) { return E().EntQueryProt(Entities(mods[0])[0], b, n); }, 256);
    EXPECT_EQ(prototype, "_DLL FUNCTION Add ( a, b ):MATHLIB.Add");
    EXPECT_EQ(E().AdamExportApp(ScratchDos("x.aef").c_str(), app, 2, &modules), kBadArgument);
}

TEST_F(KivExportRoundTripTest, NamelessApplicationNeedsAName) {
    std::string nameless = W::Aef().Module("M", 1, 2).End();
    uint32_t app = 0;
    uint32_t modules = 0;
    EXPECT_EQ(E().AdamImportApp(ScratchFile("n.aef", nameless).c_str(), "", 1, 0, &app, &modules), kBadFile);
    EXPECT_EQ(E().AdamImportApp(ScratchFile("n.aef", nameless).c_str(), "Given", 1, 0, &app, &modules), 0u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryName(static_cast<uint16_t>(app), b, n); }),
              "Given");
}

TEST_F(KivExportRoundTripTest, ExportFailuresAreReportedAndAnOldFileIsReplaced) {
    uint16_t app = Import(RichApplication());
    uint32_t modules = 0;
    EXPECT_EQ(E().AdamExportApp("D:\\OUT\\X.AEF", app, 0, &modules), kiv::oserror::kPathNotFound);
    EXPECT_EQ(E().AdamExportApp(ScratchDos("no\\such\\folder\\x.aef").c_str(), app, 0, &modules),
              kiv::oserror::kPathNotFound);
    EXPECT_EQ(E().AdamExportApp("/dev/full", app, 0, &modules), kiv::oserror::kDiskFull);
    EXPECT_NE(E().AdamExportApp(ScratchDos().c_str(), app, 0, &modules), 0u) << "a folder";
    EXPECT_EQ(E().AdamExportApp(ScratchDos("x.aef").c_str(), 0x7F00, 0, &modules), kBadId);
    EXPECT_EQ(E().AdamImportApp(ScratchDos("missing.aef").c_str(), "", 1, 0, nullptr, nullptr),
              kiv::oserror::kFileNotFound);

    WriteFile(Scratch() / "old.aef", "old contents");
    ASSERT_EQ(E().AdamExportApp(ScratchDos("old.aef").c_str(), app, 0, &modules), 0u);
    EXPECT_EQ(modules, 2u);
    EXPECT_EQ(ReadFile(Scratch() / "old.aef"), RichApplication());
}

TEST_F(KivExportRoundTripTest, FlagsAndDescriptionComeFromTheFileAndGoBackIntoIt) {
    std::string aef =
        W::Aef().AppName("Tools").Text(0x000F, "About tools").U16(0x000A, 1).AppInfo(5, 6).End();
    uint16_t app = Import(aef);
    uint32_t library = 0;
    uint32_t dll = 9;
    ASSERT_EQ(E().AppQueryLib(app, &library, &dll), 0u);
    EXPECT_EQ(library, 1u) << "from the library flag record";
    EXPECT_EQ(dll, 0u);
    KivRecordHandle record = 0;
    uint32_t length = 0;
    std::string description;
    ASSERT_EQ(E().AppQueryDescription(app, &record, &length), 0u);
    ASSERT_EQ(E().RecGet(record, length, &description), 0u);
    EXPECT_EQ(description, "About tools");
    EXPECT_EQ(Export(app), aef);

    ASSERT_EQ(E().AppSetLib(app, 0, 1), 0u);
    std::string changed = Export(app);
    KivRecordReader reader(changed);
    KivRecord r;
    while (reader.Next(r)) {
        if (r.tag == 0x000A) {
            EXPECT_EQ(r.data, std::string("\0\0", 2));
        } else if (r.tag == 0x010F) {
            EXPECT_EQ(KivRecordByte(r.data, 4), 0);
            EXPECT_EQ(KivRecordByte(r.data, 8), 1);
            EXPECT_EQ(KivRecordU32(r.data, 36), 5u);
            EXPECT_EQ(KivRecordU32(r.data, 40), 6u);
        }
    }
    uint16_t again = Import(changed, "Again");
    ASSERT_EQ(E().AppQueryLib(again, &library, &dll), 0u);
    EXPECT_EQ(library, 0u);
    EXPECT_EQ(dll, 1u);

    uint16_t dllApp = Import(W::Aef().AppName("Dll").AppInfo(1, 2, false, true).End());
    ASSERT_EQ(E().AppQueryLib(dllApp, &library, &dll), 0u);
    EXPECT_EQ(library, 0u);
    EXPECT_EQ(dll, 1u) << "from the information record";
}
