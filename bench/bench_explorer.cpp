// The explorer window driven offscreen over a SQLite repository in a temporary platform home:
// building the tree of 200 projects, expanding a project of 300 applications, listing a module of
// 2,000 entities.
#include "engine/KivSqliteEngine.h"
#include "explorer/RepoExplorer.h"
#include "platform/KivDosPath.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"

#include <QApplication>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kProjects = 200;
constexpr int kApplications = 300;
constexpr int kEntities = 2000;

std::string Numbered(const char* prefix, int n) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%03d", prefix, n);
    return text;
}

// Projects P000..P199 (empty), project Big with applications A000..A299 of one module each, and
// in Big the application Bench whose module Huge holds 2,000 entities of mixed kinds read from a
// PRG file. Built once, removed when the program ends.
class BenchRepository {
public:
    BenchRepository() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kivbench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        setenv("KIV_HOME", (m_folder / "home").c_str(), 1);
        m_session = std::make_unique<KivRepositorySession>(std::make_shared<KivSqliteEngine>());
        if (!m_session->Success())
            return;
        KivVORepository& repo = *m_session->Repository();
        for (int p = 0; p < kProjects; ++p) {
            const std::string name = Numbered("P", p);
            repo.ProjectCreate(name, kiv::dospath::FromHost(m_folder / name));
        }
        repo.ProjectCreate("Big", kiv::dospath::FromHost(m_folder / "Big"));
        repo.CurrentProjectName("Big");
        KivVOProject big("Big");
        for (int a = 0; a < kApplications; ++a)
            if (auto app = big.ApplicationCreate(Numbered("A", a)))
                app->ModuleCreate("Main");

        const std::filesystem::path prg = m_folder / "huge.prg";
        std::ofstream out(prg, std::ios::binary);
        for (int i = 0; i < kEntities; ++i) {
            const std::string n = Numbered("", i);
            switch (i % 4) {
            case 0:
                out << "FUNCTION Total" << n << "(nFirst, nSecond)\r\nRETURN nFirst + nSecond\r\n\r\n";
                break;
            case 1:
                out << "METHOD Show" << n << "(oOwner) CLASS OrderWindow\r\nRETURN SELF\r\n\r\n";
                break;
            case 2:
                out << "ACCESS Count" << n << " CLASS OrderWindow\r\nRETURN SELF:nCount\r\n\r\n";
                break;
            default:
                out << "PROCEDURE Log" << n << "(cText)\r\n\tQOut(cText)\r\nRETURN\r\n\r\n";
                break;
            }
        }
        out.close();
        if (auto bench = big.ApplicationCreate("Bench")) {
            m_benchApp = bench->ID();
            if (auto module = bench->ImportModule(kiv::dospath::FromHost(prg), "Huge", 0, 0))
                m_hugeModule = module->EntityCount() == kEntities ? module->ID() : 0;
        }
        repo.CurrentProjectName("P000");
    }
    ~BenchRepository() {
        m_session.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

    bool Ready() const { return m_hugeModule != 0; }
    uint16_t BenchApp() const { return m_benchApp; }
    uint32_t HugeModule() const { return m_hugeModule; }

private:
    std::filesystem::path m_folder;
    std::unique_ptr<KivRepositorySession> m_session;
    uint16_t m_benchApp = 0;
    uint32_t m_hugeModule = 0;
};

BenchRepository& Repository() {
    static BenchRepository repository;
    return repository;
}

std::string Digits10(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%010u", value);
    return text;
}

// What the event loop would do between two steps: layouts, repaints and the deletion of the
// replaced views. Left undone, posted events pile up and every widget deletion searches them.
void Settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_BuildTree(benchmark::State& state) {
    if (!Repository().Ready()) {
        state.SkipWithError("the repository could not be built");
        return;
    }
    RepoExplorer explorer;
    for (auto _ : state) {
        explorer.BuildExplorer(false);
        state.PauseTiming();
        Settle();
        state.ResumeTiming();
    }
    state.counters["projects"] = explorer.TreeWindow()->topLevelItem(0)->childCount();
}

void BM_ExpandProject(benchmark::State& state) {
    if (!Repository().Ready()) {
        state.SkipWithError("the repository could not be built");
        return;
    }
    RepoExplorer explorer;
    int applications = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Expanding Big made it current: the rebuild must not expand it already.
        KivGetRepoObject()->CurrentProjectName("P000");
        explorer.BuildExplorer(false);
        Settle();
        QTreeWidgetItem* big = explorer.FindNode("Big");
        state.ResumeTiming();
        big->setExpanded(true);
        applications = big->childCount();
    }
    state.counters["applications"] = applications;
}

void BM_ListModule(benchmark::State& state) {
    if (!Repository().Ready()) {
        state.SkipWithError("the repository could not be built");
        return;
    }
    RepoExplorer explorer;
    explorer.FindNode("Big")->setExpanded(true);
    const std::string appKey = "Big" + Digits10(Repository().BenchApp());
    QTreeWidgetItem* app = explorer.FindNode(appKey);
    app->setExpanded(true);
    QTreeWidgetItem* module = explorer.FindNode(appKey + Digits10(Repository().HugeModule()));
    for (auto _ : state) {
        state.PauseTiming();
        explorer.TreeWindow()->setCurrentItem(app);
        Settle();
        state.ResumeTiming();
        explorer.TreeWindow()->setCurrentItem(module);
    }
    state.counters["rows"] = explorer.ListWindow()->topLevelItemCount();
}

} // namespace

BENCHMARK(BM_BuildTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandProject)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListModule)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
