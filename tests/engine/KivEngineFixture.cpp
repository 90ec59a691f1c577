#include "KivEngineFixture.h"

void KivEngineTest::SetUp() {
    KivTestHome::SetUp();
    m_engine = std::make_unique<KivSqliteEngine>();
    uint32_t created = 0;
    ASSERT_EQ(m_engine->AdamInit(0, &created), 0u);
    ASSERT_EQ(created, 1u);
}

void KivEngineTest::TearDown() {
    m_engine.reset();
    KivTestHome::TearDown();
}

std::string KivEngineTest::Text(const std::function<uint32_t(char*, size_t)>& call, size_t capacity) {
    std::string buffer(capacity, '#');
    EXPECT_EQ(call(buffer.data(), capacity), 0u);
    return buffer.c_str();
}

uint16_t KivEngineTest::NewApp(const std::string& name) {
    uint16_t id = 0;
    EXPECT_EQ(E().AppCreate(name.c_str(), &id), 0u) << name;
    return id;
}

uint32_t KivEngineTest::NewModule(uint16_t app, const std::string& name) {
    uint32_t id = 0;
    EXPECT_EQ(E().ModCreate(app, name.c_str(), &id), 0u) << name;
    return id;
}

std::string KivEngineTest::ScratchFile(const std::string& name, const std::string& bytes) {
    WriteFile(Scratch() / name, bytes);
    return ScratchDos(name);
}

std::vector<uint16_t> KivEngineTest::Apps() {
    std::vector<uint16_t> ids;
    uint16_t id = 0;
    EXPECT_EQ(E().AdamGetFirstApp(&id), 0u);
    while (id) {
        ids.push_back(id);
        EXPECT_EQ(E().AdamGetNextApp(&id), 0u);
    }
    return ids;
}

std::vector<uint32_t> KivEngineTest::Modules(uint16_t app) {
    std::vector<uint32_t> ids;
    uint32_t id = 0;
    EXPECT_EQ(E().AppGetFirstModule(app, &id), 0u);
    while (id) {
        ids.push_back(id);
        EXPECT_EQ(E().AppGetNextModule(&id), 0u);
    }
    return ids;
}

std::vector<uint32_t> KivEngineTest::Entities(uint32_t module) {
    std::vector<uint32_t> ids;
    uint32_t id = 0;
    EXPECT_EQ(E().ModGetFirstEntity(module, &id), 0u);
    while (id) {
        ids.push_back(id);
        EXPECT_EQ(E().ModGetNextEntity(&id), 0u);
    }
    return ids;
}

std::vector<std::string> KivEngineTest::EntityNames(uint32_t module) {
    std::vector<std::string> names;
    for (uint32_t id : Entities(module)) {
        KivSymbol name;
        EXPECT_EQ(E().EntQueryName(id, &name), 0u);
        names.push_back(name.Name());
    }
    return names;
}

std::string KivEngineTest::Source(uint32_t entity) {
    KivRecordHandle record = 0;
    uint32_t length = 0;
    std::string bytes;
    EXPECT_EQ(E().EntQueryData(entity, 7, &record, &length, nullptr, nullptr), 0u);
    EXPECT_EQ(E().RecGet(record, length, &bytes), 0u);
    return bytes;
}

std::string KivEngineTest::CurrentProject() {
    return Text([&](char* b, size_t n) { return E().AdamQueryCurrentPrjName(b, n); }, 100);
}
