#include "KivEngineFixture.h"

#include "common/KivAefTestWriter.h"
#include "engine/KivEngineUtil.h"
#include "platform/KivOsError.h"

using namespace kiv::engine;

namespace {

const char* const kPrg = "// Customers module\r\n"
                         "#include \"app.vh\"\r\n"
                         "CLASS Customer INHERIT Person\r\n"
                         "\tEXPORT cName\r\n"
                         "METHOD Init(cName) CLASS Customer\r\n"
                         "\tSELF:cName := cName\r\n"
                         "ACCESS Name CLASS Customer\r\n"
                         "\tRETURN SELF:cName\r\n"
                         "ASSIGN Name(c) CLASS Customer\r\n"
                         "\tSELF:cName := c\r\n"
                         "STATIC FUNC Helper(a, ;\r\n"
                         "   b) AS INT  // two lines\r\n"
                         "\tRETURN a + b\r\n"
                         "/* FUNCTION Hidden()\r\n"
                         "*/\r\n"
                         "DEFINE MAX_CUSTOMERS := 100\r\n"
                         "GLOBAL gnCount AS INT\r\n"
                         "TEXTBLOCK Notes\r\n"
                         "PROCEDURE Startup()\r\n";

} // namespace

class KivSqliteEngineModuleTest : public KivEngineTest {
protected:
    void SetUp() override {
        KivEngineTest::SetUp();
        m_app = NewApp("App");
    }
    uint32_t Number(uint32_t (KivEngine::*query)(uint32_t, uint32_t*), uint32_t id) {
        uint32_t value = 0xDEAD;
        EXPECT_EQ((E().*query)(id, &value), 0u);
        return value;
    }
    uint32_t Find(uint32_t module, const char* name, uint32_t type) {
        uint32_t id = 0;
        EXPECT_EQ(E().EntFind(module, KivSymbol(name), type, &id), 0u);
        return id;
    }
    uint16_t m_app = 0;
};

TEST_F(KivSqliteEngineModuleTest, CreateFindDeleteAndProperties) {
    uint32_t before = Now();
    uint32_t a = NewModule(m_app, "Start");
    uint32_t b = NewModule(m_app, "Customers");
    EXPECT_EQ(Modules(m_app), (std::vector<uint32_t>{a, b})) << "in the order they were made";
    uint32_t found = 0;
    ASSERT_EQ(E().ModFind(m_app, "START", &found), 0u);
    EXPECT_EQ(found, a);
    ASSERT_EQ(E().ModFind(m_app, "Star", &found), 0u);
    EXPECT_EQ(found, 0u);
    EXPECT_EQ(E().ModCreate(m_app, "start", &found), kNameExists);
    EXPECT_EQ(E().ModCreate(m_app, "", &found), kBadArgument);

    EXPECT_EQ(Text([&](char* buf, size_t n) { return E().ModQueryName(a, buf, n); }), "Start");
    EXPECT_EQ(Text([&](char* buf, size_t n) { return E().ModQueryExpName(a, buf, n); }), "");
    ASSERT_EQ(E().ModSetExpName(a, "C:\\EXP\\START.MEF"), 0u);
    EXPECT_EQ(Text([&](char* buf, size_t n) { return E().ModQueryExpName(a, buf, n); }, 260),
              "C:\\EXP\\START.MEF");
    ASSERT_EQ(E().ModSetDebug(a, 3, 0), 0u);
    EXPECT_EQ(Number(&KivEngine::ModQueryDebug, a), 3u);
    ASSERT_EQ(E().ModSetOEM(a, 1), 0u);
    EXPECT_EQ(Number(&KivEngine::ModQueryOEM, a), 1u);
    EXPECT_EQ(Number(&KivEngine::ModQueryAppearance, a), 1u);
    EXPECT_GE(Number(&KivEngine::ModQueryCreateTime, a), before);
    EXPECT_GE(Number(&KivEngine::ModQueryTime, a), before);
    EXPECT_EQ(Number(&KivEngine::ModQueryNumEntities, a), 0u);
    EXPECT_TRUE(Entities(a).empty());

    ASSERT_EQ(E().ModDelete(a, 1), 0u);
    EXPECT_EQ(E().ModDelete(a, 1), kBadId);
    EXPECT_EQ(Modules(m_app), std::vector<uint32_t>{b});
    EXPECT_GT(NewModule(m_app, "Start"), b) << "IDs are never reused";
}

TEST_F(KivSqliteEngineModuleTest, ExternReadsTheEntitiesOfThePrgFile) {
    uint32_t module = NewModule(m_app, "Customers");
    std::string file = ScratchFile("Customers.prg", kPrg);
    uint32_t changed = 9;
    ASSERT_EQ(E().ModSetExtern(module, file.c_str(), &changed), 0u);
    EXPECT_EQ(changed, 1u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().ModQueryExtern(module, b, n); }), file);
    EXPECT_EQ(
        EntityNames(module),
        (std::vector<std::string>{"CUSTOMER", "CUSTOMER:INIT", "CUSTOMER:NAME:ACCESS", "CUSTOMER:NAME:ASSIGN",
                                  "HELPER", "MAX_CUSTOMERS", "GNCOUNT", "NOTES", "STARTUP"}));
    struct Expected {
        const char* name;
        uint32_t block;
        const char* prototypeStart;
        const char* source;
    };
    const Expected expected[] = {
        {"CUSTOMER", 23, "CLASS Customer INHERIT Person",
         "CLASS Customer INHERIT Person\r\n\tEXPORT cName\r\n"},
        {"CUSTOMER:INIT", 21, "METHOD Init",
         "METHOD Init(cName) CLASS Customer\r\n\tSELF:cName := cName\r\n"},
        {"CUSTOMER:NAME:ACCESS", 25, "ACCESS Name", nullptr},
        {"CUSTOMER:NAME:ASSIGN", 26, "ASSIGN Name", nullptr},
        {"HELPER", 17, "STATIC FUNC Helper ( a,",
         "STATIC FUNC Helper(a, ;\r\n   b) AS INT  // two lines\r\n\tRETURN a + b\r\n/* FUNCTION "
         "Hidden()\r\n*/\r\n"},
        {"MAX_CUSTOMERS", 27, "DEFINE MAX_CUSTOMERS", nullptr},
        {"GNCOUNT", 22, "GLOBAL gnCount", nullptr},
        {"NOTES", 0, "TEXTBLOCK Notes", nullptr},
        {"STARTUP", 18, "PROCEDURE Startup", "PROCEDURE Startup()\r\n"},
    };
    for (const Expected& x : expected) {
        uint32_t id = Find(module, x.name, 3);
        ASSERT_NE(id, 0u) << x.name;
        EXPECT_EQ(Number(&KivEngine::EntQueryType, id), 3u) << x.name;
        EXPECT_EQ(Number(&KivEngine::EntQueryBlockType, id), x.block) << x.name;
        EXPECT_EQ(Number(&KivEngine::EntQueryModule, id), module) << x.name;
        EXPECT_EQ(Number(&KivEngine::EntQueryAppearance, id), 1u) << x.name;
        std::string prototype = Text([&](char* b, size_t n) { return E().EntQueryProt(id, b, n); }, 256);
        EXPECT_EQ(prototype.rfind(x.prototypeStart, 0), 0u) << x.name << ": " << prototype;
        if (x.source) {
            EXPECT_EQ(Source(id), std::string(x.source) + '\0') << x.name;
        }
    }
    EXPECT_EQ(Find(module, "HIDDEN", 0), 0u) << "a commented-out function is no entity";
    EXPECT_EQ(Number(&KivEngine::ModQueryNumEntities, module), 9u);
}

TEST_F(KivSqliteEngineModuleTest, ExternAgainTellsWhetherAnythingChangedAndKeepsCreationTimes) {
    uint32_t module = NewModule(m_app, "M");
    std::string file = ScratchFile("m.prg", "FUNCTION One()\r\nRETURN 1\r\n");
    uint32_t changed = 0;
    ASSERT_EQ(E().ModSetExtern(module, file.c_str(), &changed), 0u);
    uint32_t one = Find(module, "ONE", 3);
    uint32_t created = Number(&KivEngine::EntQueryCreateTime, one);
    ASSERT_EQ(E().ModSetExtern(module, file.c_str(), &changed), 0u);
    EXPECT_EQ(changed, 0u);

    ScratchFile("m.prg", "FUNCTION One()\r\nRETURN 11\r\nFUNCTION Two()\r\n");
    ASSERT_EQ(E().ModSetExtern(module, file.c_str(), &changed), 0u);
    EXPECT_EQ(changed, 1u);
    EXPECT_EQ(EntityNames(module), (std::vector<std::string>{"ONE", "TWO"}));
    uint32_t newOne = Find(module, "ONE", 3);
    EXPECT_NE(newOne, one) << "a new entity with a new ID";
    EXPECT_EQ(Number(&KivEngine::EntQueryCreateTime, newOne), created);
    EXPECT_EQ(Source(newOne), std::string("FUNCTION One()\r\nRETURN 11\r\n") + '\0');
    char buffer[256];
    EXPECT_EQ(E().EntQueryProt(one, buffer, sizeof buffer), kBadId);
}

TEST_F(KivSqliteEngineModuleTest, NullUnbindsAndKeepsTheEntities) {
    uint32_t module = NewModule(m_app, "M");
    std::string file = ScratchFile("m.prg", "FUNCTION One()\r\n");
    uint32_t changed = 0;
    ASSERT_EQ(E().ModSetExtern(module, file.c_str(), &changed), 0u);
    ASSERT_EQ(E().ModSetExtern(module, nullptr, &changed), 0u);
    EXPECT_EQ(changed, 1u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().ModQueryExtern(module, b, n); }), "");
    EXPECT_EQ(EntityNames(module), std::vector<std::string>{"ONE"});
    ASSERT_EQ(E().ModSetExtern(module, nullptr, &changed), 0u);
    EXPECT_EQ(changed, 0u);
}

TEST_F(KivSqliteEngineModuleTest, ExternRefusesFilesItCannotRead) {
    uint32_t module = NewModule(m_app, "M");
    ASSERT_EQ(E().ModSetExtern(module, ScratchFile("m.prg", "FUNCTION Kept()\r\n").c_str(), nullptr), 0u);
    uint32_t changed = 9;
    EXPECT_EQ(E().ModSetExtern(module, "", &changed), kBadArgument);
    EXPECT_EQ(E().ModSetExtern(module, ScratchDos("missing.prg").c_str(), &changed),
              kiv::oserror::kFileNotFound);
    EXPECT_EQ(E().ModSetExtern(module, "D:\\x.prg", &changed), kiv::oserror::kPathNotFound);
    EXPECT_NE(E().ModSetExtern(module, ScratchDos().c_str(), &changed), 0u) << "a folder";
    EXPECT_EQ(changed, 9u);
    EXPECT_EQ(EntityNames(module), std::vector<std::string>{"KEPT"});
    EXPECT_EQ(E().ModSetExtern(0xABCDEF, ScratchDos("m.prg").c_str(), &changed), kBadId);
}

TEST_F(KivSqliteEngineModuleTest, ExternFindsTheFileWithoutRegardToCase) {
    uint32_t module = NewModule(m_app, "M");
    ScratchFile("lower.prg", "FUNCTION Found()\r\n");
    ASSERT_EQ(E().ModSetExtern(module, ScratchDos("LOWER.PRG").c_str(), nullptr), 0u);
    EXPECT_EQ(EntityNames(module), std::vector<std::string>{"FOUND"});
}

TEST_F(KivSqliteEngineModuleTest, EntFindMatchesNameAndType) {
    uint32_t module = NewModule(m_app, "M");
    ASSERT_EQ(E().ModSetExtern(module, ScratchFile("m.prg", "FUNCTION Same()\r\n").c_str(), nullptr), 0u);
    uint32_t id = Find(module, "same", 3);
    EXPECT_NE(id, 0u) << "a symbol is upper case whatever it was made from";
    EXPECT_EQ(Find(module, "SAME", 0), id) << "type 0 matches any type";
    EXPECT_EQ(Find(module, "SAME", 1), 0u);
    EXPECT_EQ(Find(module, "SAM", 3), 0u);
    uint32_t out = 0;
    EXPECT_EQ(E().EntFind(module, KivSymbol(), 3, &out), kBadArgument);
    EXPECT_EQ(E().EntFind(0x7FFFFFFF, KivSymbol("SAME"), 3, &out), kBadId);
}

TEST_F(KivSqliteEngineModuleTest, AppearanceHidesAndShowsModulesAndEntities) {
    uint32_t module = NewModule(m_app, "M");
    ASSERT_EQ(
        E().ModSetExtern(module, ScratchFile("m.prg", "FUNCTION A()\r\nFUNCTION B()\r\n").c_str(), nullptr),
        0u);
    uint32_t a = Find(module, "A", 3);
    uint32_t b = Find(module, "B", 3);
    EXPECT_EQ(Number(&KivEngine::EntQueryAppearance, a), 1u) << "warm the entity cache";
    ASSERT_EQ(E().EntSetAppearance(a, 0), 0u);
    EXPECT_EQ(Number(&KivEngine::EntQueryAppearance, a), 0u) << "the cached entity is read again";
    EXPECT_EQ(Number(&KivEngine::EntQueryAppearance, b), 1u) << "only the one entity";
    ASSERT_EQ(E().EntSetAppearance(a, 7), 0u);
    EXPECT_EQ(Number(&KivEngine::EntQueryAppearance, a), 1u) << "any non-zero value shows it";
    ASSERT_EQ(Entities(module).size(), 2u) << "a walk reads the entities' values ahead";
    EXPECT_EQ(Source(b), std::string("FUNCTION B()\r\n\0", 15)) << "the source is read apart from them";
    ASSERT_EQ(E().EntSetAppearance(b, 0), 0u);
    EXPECT_EQ(Number(&KivEngine::EntQueryAppearance, b), 0u) << "a change drops the values read ahead";
    ASSERT_EQ(E().ModSetAppearance(module, 0), 0u);
    EXPECT_EQ(Number(&KivEngine::ModQueryAppearance, module), 0u);
    EXPECT_EQ(Entities(module).size(), 2u) << "a hidden module keeps its entities";
    EXPECT_EQ(E().EntSetAppearance(0x7FFFFFFF, 0), kBadId);
    EXPECT_EQ(E().ModSetAppearance(0x7FFFFFFF, 0), kBadId);
}

TEST_F(KivSqliteEngineModuleTest, EntityDataKindsAndTheirRecords) {
    uint32_t module = NewModule(m_app, "M");
    ASSERT_EQ(E().ModSetExtern(module, ScratchFile("m.prg", "FUNCTION F()\r\n").c_str(), nullptr), 0u);
    uint32_t id = Find(module, "F", 3);
    KivRecordHandle record = 0;
    uint32_t length = 0;
    uint32_t present = 9;
    uint32_t reserved = 9;
    ASSERT_EQ(E().EntQueryData(id, 7, &record, &length, &present, &reserved), 0u);
    EXPECT_EQ(length, 15u);
    EXPECT_EQ(present, 1u);
    EXPECT_EQ(reserved, 0u);
    KivRecordHandle custom = 0;
    ASSERT_EQ(E().EntQueryData(id, 4, &custom, &length, &present, &reserved), 0u);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(present, 0u);
    std::string bytes = "x";
    EXPECT_EQ(E().RecGet(record, 15, &bytes), kNoRecord) << "replaced by the custom-data record";
    ASSERT_EQ(E().RecGet(custom, 0, &bytes), 0u);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(E().EntQueryData(id, 5, &record, &length, &present, &reserved), kBadArgument);
    // The description record and the entity-data record are kept side by side.
    KivRecordHandle description = 0;
    ASSERT_EQ(E().AppQueryDescription(m_app, &description, &length), 0u);
    EXPECT_EQ(E().RecGet(custom, 0, &bytes), 0u);
    EXPECT_EQ(E().RecGet(description, length, &bytes), 0u);
}

TEST_F(KivSqliteEngineModuleTest, ImportModFromPrgNamesTheModuleAfterTheFile) {
    std::string file = ScratchFile("Reports.prg", "FUNCTION Report()\r\nRETURN NIL\r\n");
    uint32_t entities = 0;
    uint32_t module = 0;
    // The way the repository model calls it: the file twice.
    ASSERT_EQ(E().AdamImportMod(file.c_str(), file.c_str(), m_app, &entities, 0, 0, &module), 0u);
    EXPECT_EQ(entities, 1u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().ModQueryName(module, b, n); }), "Reports");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().ModQueryExtern(module, b, n); }), "");
    EXPECT_EQ(EntityNames(module), std::vector<std::string>{"REPORT"});

    uint32_t again = 0;
    EXPECT_EQ(E().AdamImportMod(file.c_str(), "", m_app, &entities, 0, 0, &again), kNameExists);
    ASSERT_EQ(E().AdamImportMod(file.c_str(), "", m_app, &entities, 1, 1, &again), 0u);
    EXPECT_NE(again, module);
    EXPECT_EQ(Modules(m_app), std::vector<uint32_t>{again}) << "replaced in its place";
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().ModQueryExtern(again, b, n); }), file) << "bound";
    ASSERT_EQ(E().AdamImportMod(file.c_str(), "Copy", m_app, &entities, 0, 0, &again), 0u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().ModQueryName(again, b, n); }), "Copy");
}

TEST_F(KivSqliteEngineModuleTest, ImportModFromMef) {
    KivTestEntity f{"FOO", 3, 17, "FUNCTION Foo()", "FUNCTION Foo()\r\nRETURN 1\r\n"};
    std::string mef = KivAefTestWriter::Mef().Module("Tools", 1200000000, 1100000000).Entity(f).End();
    std::string file = ScratchFile("tools.mef", mef);
    uint32_t module = 0;
    uint32_t entities = 0;
    ASSERT_EQ(E().AdamImportMod(file.c_str(), "", m_app, &entities, 0, 0, &module), 0u);
    EXPECT_EQ(entities, 1u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().ModQueryName(module, b, n); }), "Tools");
    EXPECT_EQ(Number(&KivEngine::ModQueryTime, module), 1200000000u);
    EXPECT_EQ(Number(&KivEngine::ModQueryCreateTime, module), 1100000000u);
    uint32_t foo = Find(module, "FOO", 3);
    EXPECT_EQ(Number(&KivEngine::EntQueryCreateTime, foo), 1000000000u);
    EXPECT_EQ(Number(&KivEngine::EntQueryTime, foo), 1100000000u);

    std::string second = KivAefTestWriter::Mef().Module("A", 0, 0).Module("B", 0, 0).End();
    EXPECT_EQ(E().AdamImportMod(ScratchFile("two.mef", second).c_str(), "", m_app, &entities, 0, 0, &module),
              kBadFile)
        << "a MEF holds one module";
    std::string cut = mef.substr(0, mef.size() - 8);
    EXPECT_EQ(E().AdamImportMod(ScratchFile("cut.mef", cut).c_str(), "", m_app, &entities, 0, 0, &module),
              kBadFile);
    EXPECT_EQ(Modules(m_app).size(), 1u);
}

// A walk that reads more than one source reads its module's sources in one statement; every kind
// of change (a bound PRG read again, a merge, a delete) must leave none of them behind.
TEST_F(KivSqliteEngineModuleTest, AWalkReadsItsModuleSourcesAheadUntilAChange) {
    uint32_t module = NewModule(m_app, "M");
    const std::string prg = ScratchFile("m.prg", "FUNCTION B()\r\nRETURN 1\r\nFUNCTION A()\r\nFUNCTION C()\r\n");
    ASSERT_EQ(E().ModSetExtern(module, prg.c_str(), nullptr), 0u);
    uint32_t other = NewModule(m_app, "Other");
    ASSERT_EQ(E().ModSetExtern(other, ScratchFile("o.prg", "FUNCTION D()\r\n").c_str(), nullptr), 0u);
    const uint32_t d = Find(other, "D", 3);
    // Each entity of a walk of the module as name=source, with another module's entity and the
    // designer binaries read in between.
    auto walk = [&](uint32_t mod) {
        std::vector<std::string> shown;
        for (uint32_t id : Entities(mod)) {
            shown.push_back(Text([&](char* b, size_t n) { return E().EntQueryNameText(id, b, n); }) + "=" +
                            Source(id));
            EXPECT_EQ(Source(d), std::string("FUNCTION D()\r\n\0", 15));
            KivRecordHandle record = 0;
            uint32_t length = 9;
            EXPECT_EQ(E().EntQueryData(id, 4, &record, &length, nullptr, nullptr), 0u);
            EXPECT_EQ(length, 0u);
        }
        return shown;
    };
    using Texts = std::vector<std::string>;
    const std::string nul(1, '\0');
    const Texts first{"B=FUNCTION B()\r\nRETURN 1\r\n" + nul, "A=FUNCTION A()\r\n" + nul, "C=FUNCTION C()\r\n" + nul};
    EXPECT_EQ(walk(module), first);
    EXPECT_EQ(walk(module), first) << "read with the values this time";
    // The next module's values and sources are written over the last ones: none may stay.
    EXPECT_EQ(walk(other), Texts{"D=FUNCTION D()\r\n" + nul});
    EXPECT_EQ(walk(module), first);

    ScratchFile("m.prg", "FUNCTION B()\r\nRETURN 2\r\nFUNCTION A()\r\n");
    uint32_t changed = 0;
    ASSERT_EQ(E().ModSetExtern(module, prg.c_str(), &changed), 0u);
    ASSERT_EQ(changed, 1u);
    EXPECT_EQ(walk(module), (Texts{"B=FUNCTION B()\r\nRETURN 2\r\n" + nul, "A=FUNCTION A()\r\n" + nul}));

    // A merge replaces the module of that name by the file's.
    const KivTestEntity e{"E", 3, 17, "FUNCTION E()", "FUNCTION E()\r\n"};
    const std::string aef = KivAefTestWriter::Aef().AppName("App").AppInfo(0, 0).Module("M", 0, 0).Entity(e).End();
    const std::vector<uint32_t> before = Entities(module);
    uint32_t app = 0;
    uint32_t modules = 0;
    ASSERT_EQ(E().AdamImportApp(ScratchFile("m.aef", aef).c_str(), "App", 0, 0, &app, &modules), 0u);
    ASSERT_EQ(app, m_app);
    KivRecordHandle record = 0;
    uint32_t length = 0;
    EXPECT_EQ(E().EntQueryData(before[0], 7, &record, &length, nullptr, nullptr), kBadId);
    uint32_t merged = 0;
    ASSERT_EQ(E().ModFind(m_app, "M", &merged), 0u);
    EXPECT_EQ(walk(merged), Texts{"E=FUNCTION E()\r\n" + nul});

    const uint32_t walked = Entities(merged).front();
    ASSERT_EQ(E().ModDelete(merged, 1), 0u);
    EXPECT_EQ(E().EntQueryData(walked, 7, &record, &length, nullptr, nullptr), kBadId);
}
