#include "engine/KivCurrentEngine.h"
#include "common/KivFaultEngine.h"
#include "engine/KivSqliteEngine.h"
#include "platform/KivDosPath.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kEntities = 2000;

// Reads the properties of every entity the way the explorer fills its detail list for a module.
size_t ListModule(const KivVOModule& module) {
    size_t rows = 0;
    for (const auto& item : module.EntityList()) {
        const auto& entity = static_cast<const KivVOEntity&>(*item);
        bool visible = entity.IsVisible();
        uint32_t numType = entity.NumType();
        KivSymbol type = entity.Type();
        std::string info = entity.Info();
        KivDate created = entity.CreateDate();
        std::string createTime = entity.CreateTime();
        KivDate built = entity.LastBuildDate();
        std::string buildTime = entity.LastBuildTime();
        benchmark::DoNotOptimize(visible);
        benchmark::DoNotOptimize(numType);
        benchmark::DoNotOptimize(type);
        benchmark::DoNotOptimize(info);
        benchmark::DoNotOptimize(created);
        benchmark::DoNotOptimize(createTime);
        benchmark::DoNotOptimize(built);
        benchmark::DoNotOptimize(buildTime);
        ++rows;
    }
    return rows;
}

// A repository in a temporary platform home with one module of 2,000 entities of mixed kinds
// (functions, methods, accesses, static procedures), read in from a PRG file. Built once and
// removed when the program ends.
class BigModule {
public:
    BigModule() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kivbench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        setenv("KIV_HOME", (m_folder / "home").c_str(), 1);
        m_engine = std::make_shared<KivSqliteEngine>();
        m_session = std::make_unique<KivRepositorySession>(m_engine);
        if (!m_session->Success())
            return;

        const std::filesystem::path prg = m_folder / "big.prg";
        std::ofstream out(prg, std::ios::binary);
        for (int i = 0; i < kEntities; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%04d", i);
            switch (i % 4) {
            case 0:
                out << "FUNCTION Total" << name << "(nFirst, nSecond)\r\n\tLOCAL nSum := nFirst + nSecond\r\n"
                    << "RETURN nSum\r\n\r\n";
                break;
            case 1:
                out << "METHOD Show" << name
                    << "(oOwner) CLASS OrderWindow\r\n\tSELF:Caption := \"Orders\"\r\n"
                    << "RETURN SELF\r\n\r\n";
                break;
            case 2:
                out << "ACCESS Count" << name << " CLASS OrderWindow\r\nRETURN SELF:nCount\r\n\r\n";
                break;
            default:
                out << "STATIC PROCEDURE Log" << name << "(cText)\r\n\tQOut(cText)\r\nRETURN\r\n\r\n";
                break;
            }
        }
        out.close();

        auto app = KivVOProject().ApplicationCreate("Bench");
        if (app)
            m_module = app->ImportModule(kiv::dospath::FromHost(prg), "Big", 0, 0);
    }
    ~BigModule() {
        m_module.reset();
        m_session.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

    const KivVOModule* Module() const {
        return m_module && m_module->EntityCount() == kEntities ? m_module.get() : nullptr;
    }
    const std::shared_ptr<KivSqliteEngine>& Engine() const { return m_engine; }

private:
    std::filesystem::path m_folder;
    std::shared_ptr<KivSqliteEngine> m_engine;
    std::unique_ptr<KivRepositorySession> m_session;
    std::shared_ptr<KivVOModule> m_module;
};

const BigModule& Repository() {
    static BigModule repository;
    return repository;
}

void BM_ListModule2000(benchmark::State& state) {
    const KivVOModule* module = Repository().Module();
    if (!module) {
        state.SkipWithError("the module of 2,000 entities could not be built");
        return;
    }
    // One listing through a counting engine gives the engine calls it makes.
    uint32_t calls = 0;
    {
        auto counter = std::make_shared<KivFaultEngine>(Repository().Engine());
        KivScopedEngine scoped(counter);
        ListModule(*module);
        calls = counter->TotalCalls();
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ListModule(*module));
    state.counters["entities"] = kEntities;
    state.counters["calls_per_entity"] = static_cast<double>(calls) / kEntities;
    // Engine calls per second of listing; its inverse is the time one call takes with the
    // model's own work around it.
    state.counters["calls"] = benchmark::Counter(calls, benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(BM_ListModule2000)->Unit(benchmark::kMillisecond);
