#pragma once

#include "common/KivTestHome.h"
#include "engine/KivEngineStatus.h"
#include "engine/KivSqliteEngine.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A fresh repository per test: a SQLite engine opened on the test's own platform home.
class KivEngineTest : public KivTestHome {
protected:
    void SetUp() override;
    void TearDown() override;

    KivSqliteEngine& E() { return *m_engine; }

    // The text an operation writes into a buffer of the given capacity; the status must be 0.
    static std::string Text(const std::function<uint32_t(char*, size_t)>& call, size_t capacity = 300);

    uint16_t NewApp(const std::string& name);
    uint32_t NewModule(uint16_t app, const std::string& name);
    // Writes the bytes into the scratch folder and gives the file's DOS path.
    std::string ScratchFile(const std::string& name, const std::string& bytes);

    std::vector<uint16_t> Apps();
    std::vector<uint32_t> Modules(uint16_t app);
    std::vector<uint32_t> Entities(uint32_t module);
    std::vector<std::string> EntityNames(uint32_t module);
    std::string Source(uint32_t entity);
    std::string CurrentProject();

    std::unique_ptr<KivSqliteEngine> m_engine;
};
