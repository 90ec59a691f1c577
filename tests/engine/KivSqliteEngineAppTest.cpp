#include "KivEngineFixture.h"

#include "engine/KivEngineUtil.h"

#include <algorithm>
#include <cstring>

using namespace kiv::engine;

class KivSqliteEngineAppTest : public KivEngineTest {
protected:
    std::vector<std::string> Udcs(uint16_t app) {
        std::vector<std::string> names;
        char buffer[256];
        EXPECT_EQ(E().AppUDCGetFirst(app, buffer, sizeof buffer), 0u);
        while (buffer[0]) {
            names.emplace_back(buffer);
            EXPECT_EQ(E().AppUDCGetNext(buffer, sizeof buffer), 0u);
        }
        return names;
    }
    std::vector<std::string> Chs(uint16_t app) {
        std::vector<std::string> names;
        char buffer[260];
        EXPECT_EQ(E().AppCHGetFirst(app, buffer, sizeof buffer), 0u);
        while (buffer[0]) {
            names.emplace_back(buffer);
            EXPECT_EQ(E().AppCHGetNext(buffer, sizeof buffer), 0u);
        }
        return names;
    }
    std::vector<uint16_t> Libraries(uint16_t app) {
        std::vector<uint16_t> ids;
        uint16_t id = 0;
        EXPECT_EQ(E().AppSPathGetFirst(app, &id), 0u);
        while (id) {
            ids.push_back(id);
            EXPECT_EQ(E().AppSPathGetNext(&id), 0u);
        }
        return ids;
    }
};

TEST_F(KivSqliteEngineAppTest, CreateFindAndDelete) {
    uint16_t a = NewApp("Accounts");
    uint16_t b = NewApp("Billing");
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    uint16_t found = 0;
    ASSERT_EQ(E().AppFind("ACCOUNTS", &found), 0u);
    EXPECT_EQ(found, a);
    ASSERT_EQ(E().AppFind("Account", &found), 0u);
    EXPECT_EQ(found, 0) << "no prefix match";
    EXPECT_EQ(Text([&](char* buf, size_t n) { return E().AppQueryName(a, buf, n); }), "Accounts");
    EXPECT_EQ(Apps(), (std::vector<uint16_t>{a, b}));

    uint16_t same = 0;
    EXPECT_EQ(E().AppCreate("accounts", &same), kNameExists);
    EXPECT_EQ(same, 0);
    EXPECT_EQ(E().AppCreate("", &same), kBadArgument);

    ASSERT_EQ(E().AppDeleteAID(a), 0u);
    EXPECT_EQ(E().AppDeleteAID(a), kBadId);
    EXPECT_EQ(Apps(), std::vector<uint16_t>{b});
    uint16_t again = NewApp("Accounts");
    EXPECT_GT(again, b) << "IDs are never reused";
}

TEST_F(KivSqliteEngineAppTest, IdsOfAnotherProjectAreRefused) {
    uint16_t app = NewApp("Here");
    uint32_t module = NewModule(app, "Mod");
    ASSERT_EQ(E().PrjCreate("Other", ScratchDos("other").c_str(), 0), 0u);
    ASSERT_EQ(E().PrjSelect("Other"), 0u);
    char buffer[256];
    uint32_t value = 0;
    EXPECT_EQ(E().AppQueryName(app, buffer, sizeof buffer), kBadId);
    EXPECT_EQ(E().AppQueryTime(app, &value), kBadId);
    EXPECT_EQ(E().AppSetExeName(app, "x.exe"), kBadId);
    EXPECT_EQ(E().ModQueryName(module, buffer, sizeof buffer), kBadId);
    EXPECT_EQ(E().ModCreate(app, "New", &value), kBadId);
    EXPECT_EQ(E().AppGetFirstModule(app, &value), kBadId);
    EXPECT_EQ(E().AppQueryName(0, buffer, sizeof buffer), kBadId);
    ASSERT_EQ(E().PrjSelect("Default"), 0u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryName(app, b, n); }), "Here");
}

TEST_F(KivSqliteEngineAppTest, PropertiesAreKept) {
    uint32_t before = Now();
    uint16_t app = NewApp("Props");
    ASSERT_EQ(E().AppSetExeName(app, "C:\\OUT\\PROPS.EXE"), 0u);
    ASSERT_EQ(E().AppSetExpName(app, "C:\\AEF\\PROPS.AEF"), 0u);
    ASSERT_EQ(E().AppSetGroupName(app, "Tools"), 0u);
    ASSERT_EQ(E().AppSetDebug(app, 1, 0), 0u);
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryExeName(app, b, n); }, 260),
              "C:\\OUT\\PROPS.EXE");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryExpName(app, b, n); }, 260),
              "C:\\AEF\\PROPS.AEF");
    EXPECT_EQ(Text([&](char* b, size_t n) { return E().AppQueryGroupName(app, b, n); }, 260), "Tools");
    uint32_t value = 0;
    ASSERT_EQ(E().AppQueryDebug(app, &value), 0u);
    EXPECT_EQ(value, 1u);
    uint32_t library = 9;
    uint32_t dll = 9;
    ASSERT_EQ(E().AppQueryLib(app, &library, &dll), 0u);
    EXPECT_EQ(library, 0u);
    EXPECT_EQ(dll, 0u);
    ASSERT_EQ(E().AppSetLib(app, 1, 0), 0u);
    ASSERT_EQ(E().AppQueryLib(app, &library, &dll), 0u);
    EXPECT_EQ(library, 1u);
    ASSERT_EQ(E().AppQuerySysLib(app, &value), 0u);
    EXPECT_EQ(value, 0u);
    ASSERT_EQ(E().AppSetSysLib(app, 1), 0u);
    ASSERT_EQ(E().AppQuerySysLib(app, &value), 0u);
    EXPECT_EQ(value, 1u);
    ASSERT_EQ(E().AppQueryCreateTime(app, &value), 0u);
    EXPECT_GE(value, before);
    EXPECT_LE(value, Now());
    ASSERT_EQ(E().AppQueryTime(app, &value), 0u);
    EXPECT_GE(value, before);
    ASSERT_EQ(E().AdamSecurePath(app), 0u);
    EXPECT_EQ(E().AdamSecurePath(0xFFF0), kBadId);
}

TEST_F(KivSqliteEngineAppTest, DescriptionComesAsARecordKeptUntilTheNextQuery) {
    uint16_t app = NewApp("Described");
    ASSERT_EQ(E().AppSetDescription(app, "Line one\r\nLine two"), 0u);
    KivRecordHandle record = 0;
    uint32_t length = 0;
    ASSERT_EQ(E().AppQueryDescription(app, &record, &length), 0u);
    EXPECT_EQ(length, 18u);
    std::string bytes;
    ASSERT_EQ(E().RecGet(record, length, &bytes), 0u);
    EXPECT_EQ(bytes, "Line one\r\nLine two");
    ASSERT_EQ(E().RecGet(record, 4, &bytes), 0u);
    EXPECT_EQ(bytes, "Line");
    ASSERT_EQ(E().RecGet(record, 1000, &bytes), 0u);
    EXPECT_EQ(bytes.size(), 18u) << "never more than the record holds";

    KivRecordHandle next = 0;
    ASSERT_EQ(E().AppQueryDescription(app, &next, &length), 0u);
    EXPECT_NE(next, record);
    EXPECT_EQ(E().RecGet(record, length, &bytes), kNoRecord) << "the first record is no longer kept";
    EXPECT_EQ(E().RecGet(0, 0, &bytes), kNoRecord);
    EXPECT_EQ(E().RecGet(next, length, nullptr), kBadArgument);
}

TEST_F(KivSqliteEngineAppTest, TextsAreCutToTheBufferAndAlwaysTerminated) {
    uint16_t app = NewApp("ABCDEFGHIJ");
    uint32_t module = NewModule(app, "MODULENAME");
    struct Case {
        const char* what;
        std::function<uint32_t(char*, size_t)> call;
    };
    const Case cases[] = {
        {"AppQueryName", [&](char* b, size_t n) { return E().AppQueryName(app, b, n); }},
        {"ModQueryName", [&](char* b, size_t n) { return E().ModQueryName(module, b, n); }},
        {"AdamQueryCurrentPrjName", [&](char* b, size_t n) { return E().AdamQueryCurrentPrjName(b, n); }},
        {"PrjQueryDir", [&](char* b, size_t n) { return E().PrjQueryDir("Default", b, n, 0); }},
    };
    for (const Case& c : cases) {
        char buffer[16];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        ASSERT_EQ(c.call(buffer, 5), 0u) << c.what;
        EXPECT_EQ(std::strlen(buffer), 4u) << c.what;
        EXPECT_EQ(buffer[5], '#') << c.what << ": nothing written past the capacity";
        ASSERT_EQ(c.call(buffer, 1), 0u) << c.what;
        EXPECT_EQ(buffer[0], '\0') << c.what;
        EXPECT_EQ(c.call(buffer, 0), kBadArgument) << c.what;
        EXPECT_EQ(c.call(nullptr, 10), kBadArgument) << c.what;
    }
}

TEST_F(KivSqliteEngineAppTest, WalksOfDifferentKindsDoNotDisturbEachOther) {
    uint16_t a = NewApp("A");
    uint16_t b = NewApp("B");
    uint32_t a1 = NewModule(a, "A1");
    uint32_t a2 = NewModule(a, "A2");
    uint32_t b1 = NewModule(b, "B1");
    uint16_t app = 0;
    uint32_t module = 0;
    ASSERT_EQ(E().AdamGetFirstApp(&app), 0u);
    EXPECT_EQ(app, a);
    ASSERT_EQ(E().AppGetFirstModule(a, &module), 0u);
    EXPECT_EQ(module, a1);
    ASSERT_EQ(E().AdamGetNextApp(&app), 0u);
    EXPECT_EQ(app, b);
    ASSERT_EQ(E().AppGetNextModule(&module), 0u);
    EXPECT_EQ(module, a2) << "the module walk goes on in application A";
    // A new walk of a kind replaces the old one of that kind.
    ASSERT_EQ(E().AppGetFirstModule(b, &module), 0u);
    EXPECT_EQ(module, b1);
    ASSERT_EQ(E().AppGetNextModule(&module), 0u);
    EXPECT_EQ(module, 0u);
    ASSERT_EQ(E().AppGetNextModule(&module), 0u);
    EXPECT_EQ(module, 0u) << "the end stays the end";
    ASSERT_EQ(E().AdamGetNextApp(&app), 0u);
    EXPECT_EQ(app, 0);
    uint32_t count = 0;
    ASSERT_EQ(E().AppQueryNumModules(a, &count), 0u);
    EXPECT_EQ(count, 2u);
}

TEST_F(KivSqliteEngineAppTest, NextWithoutFirstIsRefused) {
    KivSqliteEngine& e = E();
    uint16_t app = 0;
    uint32_t id = 0;
    char buffer[256];
    EXPECT_EQ(e.AdamGetNextApp(&app), kNoWalk);
    EXPECT_EQ(e.AppGetNextModule(&id), kNoWalk);
    EXPECT_EQ(e.ModGetNextEntity(&id), kNoWalk);
    EXPECT_EQ(e.AppSPathGetNext(&app), kNoWalk);
    EXPECT_EQ(e.AppUDCGetNext(buffer, sizeof buffer), kNoWalk);
    EXPECT_EQ(e.AppCHGetNext(buffer, sizeof buffer), kNoWalk);
}

TEST_F(KivSqliteEngineAppTest, WalkSeesTheStoreAsItWasWhenItStarted) {
    uint16_t a = NewApp("A");
    uint16_t b = NewApp("B");
    uint16_t app = 0;
    ASSERT_EQ(E().AdamGetFirstApp(&app), 0u);
    ASSERT_EQ(E().AppDeleteAID(b), 0u);
    NewApp("C");
    ASSERT_EQ(E().AdamGetNextApp(&app), 0u);
    EXPECT_EQ(app, b) << "the walk hands out the IDs it started with";
    char buffer[256];
    EXPECT_EQ(E().AppQueryName(app, buffer, sizeof buffer), kBadId);
    EXPECT_EQ(Apps().front(), a);
}

TEST_F(KivSqliteEngineAppTest, SearchPathAddDeleteAndMove) {
    uint16_t app = NewApp("Main");
    uint16_t l1 = NewApp("Lib1");
    uint16_t l2 = NewApp("Lib2");
    uint16_t l3 = NewApp("Lib3");
    EXPECT_TRUE(Libraries(app).empty());
    for (uint16_t lib : {l1, l2, l3})
        ASSERT_EQ(E().AppAddSPath(app, lib), 0u);
    EXPECT_EQ(Libraries(app), (std::vector<uint16_t>{l1, l2, l3}));
    EXPECT_EQ(E().AppAddSPath(app, l2), kNameExists);
    EXPECT_EQ(E().AppAddSPath(app, app), kBadArgument);
    EXPECT_EQ(E().AppAddSPath(app, 0x7777), kBadId);

    ASSERT_EQ(E().AppMoveSPath(app, l3, 0), 0u);
    EXPECT_EQ(Libraries(app), (std::vector<uint16_t>{l3, l1, l2}));
    ASSERT_EQ(E().AppMoveSPath(app, l3, 99), 0u);
    EXPECT_EQ(Libraries(app), (std::vector<uint16_t>{l1, l2, l3}));
    ASSERT_EQ(E().AppDelSPath(app, l1), 0u);
    EXPECT_EQ(Libraries(app), (std::vector<uint16_t>{l2, l3}));
    EXPECT_EQ(E().AppDelSPath(app, l1), kNotInList);
    EXPECT_EQ(E().AppMoveSPath(app, l1, 0), kNotInList);
}

TEST_F(KivSqliteEngineAppTest, SearchPathKeepsLibrariesThatAreNotInTheProject) {
    uint16_t app = NewApp("Main");
    uint16_t lib = NewApp("Lib");
    ASSERT_EQ(E().AppAddSPath(app, lib), 0u);
    ASSERT_EQ(E().AppDeleteAID(lib), 0u);
    EXPECT_TRUE(Libraries(app).empty()) << "the walk leaves it out";
    uint16_t again = NewApp("LIB");
    EXPECT_EQ(Libraries(app), std::vector<uint16_t>{again}) << "an application of that name takes its place";
}

TEST_F(KivSqliteEngineAppTest, UdcAndChListsKeepTheirOrder) {
    uint16_t app = NewApp("Main");
    for (const char* udc : {"std.udc", "my.udc", "win.udc"})
        ASSERT_EQ(E().AppAddUDC(app, udc), 0u);
    ASSERT_EQ(E().AppAddCH(app, "first.ch"), 0u);
    ASSERT_EQ(E().AppAddCH(app, "second.ch"), 0u);
    EXPECT_EQ(E().AppAddUDC(app, "MY.UDC"), kNameExists);
    EXPECT_EQ(E().AppAddUDC(app, ""), kBadArgument);
    ASSERT_EQ(E().AppMoveUDC(app, "win.udc", 1), 0u);
    EXPECT_EQ(Udcs(app), (std::vector<std::string>{"std.udc", "win.udc", "my.udc"}));
    ASSERT_EQ(E().AppDelUDC(app, "Std.Udc"), 0u);
    EXPECT_EQ(Udcs(app), (std::vector<std::string>{"win.udc", "my.udc"}));
    EXPECT_EQ(E().AppDelUDC(app, "std.udc"), kNotInList);
    ASSERT_EQ(E().AppMoveCH(app, "second.ch", 0), 0u);
    EXPECT_EQ(Chs(app), (std::vector<std::string>{"second.ch", "first.ch"}));
    ASSERT_EQ(E().AppDelCH(app, "first.ch"), 0u);
    EXPECT_EQ(Chs(app), std::vector<std::string>{"second.ch"});
    EXPECT_EQ(E().AppMoveCH(app, "gone.ch", 0), kNotInList);
    // The UDC walk and the CH walk are walks of their own.
    char udc[256];
    char ch[260];
    ASSERT_EQ(E().AppUDCGetFirst(app, udc, sizeof udc), 0u);
    ASSERT_EQ(E().AppCHGetFirst(app, ch, sizeof ch), 0u);
    ASSERT_EQ(E().AppUDCGetNext(udc, sizeof udc), 0u);
    EXPECT_EQ(std::string(udc), "my.udc");
}
