// The explorer window driven offscreen over a SQLite repository in a temporary platform home:
// building the tree of 200 projects, expanding a project of 300 applications, listing a module of
// 2,000 entities; finding a name part among 100,000 entities and a word in their 64 MB of source;
// opening a 100 MB AEF into the tree; a 5,000-line module in the source pane.
#include "engine/KivSqliteEngine.h"
#include "explorer/RepoExplorer.h"
#include "explorer/SourcePane.h"
#include "explorer/search/KivEntityCatalogue.h"
#include "explorer/search/KivSourceSearch.h"
#include "platform/KivDosPath.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivProgress.h"
#include "support/KivRecordStream.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

#include <chrono>
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
// The searched application: 100 modules of 1,000 entities of about 640 bytes, 64 MB of source;
// one entity in 1,000 holds the word searched for. The opened AEF: 2,000 modules of 50 entities
// of about 1,000 bytes, 100 MB.
constexpr int kSearchModules = 100;
constexpr int kSearchEntitiesPerModule = 1000;
constexpr size_t kSearchSourceSize = 640;
constexpr int kOpenModules = 2000;
constexpr int kOpenEntitiesPerModule = 50;
constexpr size_t kOpenSourceSize = 1000;
constexpr int kPaneFunctions = 250; // of 20 lines each

// An AEF of functions and, every third entity, methods of a class; `needle` is put in one
// entity's source in every `needleEvery`.
void WriteAef(const std::filesystem::path& path, const std::string& app, int modules, int perModule,
              size_t sourceSize, int needleEvery) {
    std::ofstream file(path, std::ios::binary);
    std::string out;
    KivRecordWriter w(out);
    w.Put(0x0001, std::string("\x80\x02", 2) + "CA-VO Application Export File" + '\0');
    std::string name = app;
    name.resize(64, '\0');
    w.Put(0x0002, name);
    w.Put(0x010F, std::string(76, '\0'));
    int count = 0;
    for (int m = 0; m < modules; ++m) {
        w.PutText(0x0020, "Module" + std::to_string(m));
        w.Put(0x010E, std::string(56, '\0'));
        for (int e = 0; e < perModule; ++e, ++count) {
            const std::string id = std::to_string(m) + "_" + std::to_string(e);
            const bool method = count % 3 == 0;
            const std::string entity = method ? "ORDERWINDOW:SHOW" + id : "TOTAL" + id;
            const std::string prototype = method ? "METHOD Show" + id + "(oOwner) CLASS OrderWindow"
                                                 : "FUNCTION Total" + id + "(nFirst, nSecond)";
            std::string source = prototype + "\r\n";
            if (needleEvery > 0 && count % needleEvery == 0)
                source += "\t// the Needle is here\r\n";
            while (source.size() < sourceSize)
                source += "\tLOCAL nValue := nFirst * nSecond  // keep it going\r\n";
            source += "RETURN nValue\r\n";
            w.PutText(0x0040, entity);
            w.PutU16(0x0051, 1);
            w.PutU16(0x0044, 3);
            w.PutU16(0x004D, method ? 21 : 17);
            w.PutText(0x0041, source);
            w.PutText(0x004E, prototype);
            w.PutU16(0x009C, 0);
            w.PutText(0x0123, entity);
            w.Put(0x010D, std::string(84, '\0'));
        }
        file.write(out.data(), static_cast<std::streamsize>(out.size()));
        out.clear();
    }
    w.PutEnd();
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
}

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
        // The 5,000-line module of the pane.
        const std::filesystem::path pane = m_folder / "pane.prg";
        std::ofstream lines(pane, std::ios::binary);
        for (int f = 0; f < kPaneFunctions; ++f) {
            lines << "FUNCTION Line" << f << "(cText)\r\n";
            for (int l = 0; l < 18; ++l)
                lines << "\tIF cText == \"x\" .AND. nCount > " << l << "  // \"a comment\"\r\n";
            lines << "RETURN NIL\r\n";
        }
        lines.close();
        if (auto app = big.ApplicationFind("Bench"))
            if (auto module = app->ImportModule(kiv::dospath::FromHost(pane), "Pane", 0, 0))
                m_paneModule = module->ID();

        // The searched project, and the AEF that is opened.
        WriteAef(m_folder / "search.aef", "Search", kSearchModules, kSearchEntitiesPerModule,
                 kSearchSourceSize, 1000);
        repo.ProjectCreate("Search", kiv::dospath::FromHost(m_folder / "Search"));
        KivVOProject search("Search");
        m_searchReady =
            search.ImportApplication("Search", kiv::dospath::FromHost(m_folder / "search.aef"), 1, 0);
        std::filesystem::remove(m_folder / "search.aef");
        WriteAef(m_folder / "open.aef", "Open", kOpenModules, kOpenEntitiesPerModule, kOpenSourceSize, 0);
        repo.CurrentProjectName("P000");
    }
    ~BenchRepository() {
        m_session.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

    bool Ready() const { return m_hugeModule != 0 && m_paneModule != 0 && m_searchReady; }
    uint32_t PaneModule() const { return m_paneModule; }
    std::filesystem::path OpenAef() const { return m_folder / "open.aef"; }
    uint16_t BenchApp() const { return m_benchApp; }
    uint32_t HugeModule() const { return m_hugeModule; }

private:
    std::filesystem::path m_folder;
    std::unique_ptr<KivRepositorySession> m_session;
    uint16_t m_benchApp = 0;
    uint32_t m_hugeModule = 0;
    uint32_t m_paneModule = 0;
    bool m_searchReady = false;
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

// The catalogue of the searched project, made once (the walk's time is a counter of BM_FindName).
struct SearchCatalogue {
    KivEntityCatalogue catalogue;
    double buildMs = 0;
};

const SearchCatalogue& Catalogue() {
    static const SearchCatalogue made = [] {
        SearchCatalogue c;
        const auto start = std::chrono::steady_clock::now();
        c.catalogue.Build(*KivGetRepoObject(), "Search");
        c.buildMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        return c;
    }();
    return made;
}

void BM_FindName(benchmark::State& state) {
    if (!Repository().Ready()) {
        state.SkipWithError("the repository could not be built");
        return;
    }
    const SearchCatalogue& search = Catalogue();
    size_t found = 0;
    for (auto _ : state)
        found = search.catalogue.FindName("w:show12_", 200).size();
    state.counters["entities"] = static_cast<double>(search.catalogue.Entities().size());
    state.counters["found"] = static_cast<double>(found);
    state.counters["catalogueMs"] = search.buildMs;
}

void BM_FindText(benchmark::State& state) {
    if (!Repository().Ready()) {
        state.SkipWithError("the repository could not be built");
        return;
    }
    // The walk over the project and the search of each source as the walk reaches it, as the
    // window and kivrepo search do.
    const KivTextMatcher matcher("needle", false);
    KivSilentProgress progress;
    size_t lines = 0;
    size_t entities = 0;
    for (auto _ : state) {
        lines = 0;
        KivEntityCatalogue catalogue;
        KivFindInSources(
            *KivGetRepoObject(), "Search", matcher, progress,
            [&lines](const KivLineHit&) {
                ++lines;
                return true;
            },
            catalogue);
        entities = catalogue.Entities().size();
    }
    size_t bytes = 0;
    KivEntityCatalogue().Build(*KivGetRepoObject(), "Search", nullptr,
                               [&bytes](size_t, const KivVOEntity& entity) {
                                   bytes += entity.Source().size();
                                   return true;
                               });
    state.counters["entities"] = static_cast<double>(entities);
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_OpenAef(benchmark::State& state) {
    if (!Repository().Ready()) {
        state.SkipWithError("the repository could not be built");
        return;
    }
    const std::string file = Repository().OpenAef().string();
    int modules = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto explorer = std::make_unique<RepoExplorer>();
        Settle();
        state.ResumeTiming();
        explorer->OpenExportFile(file);
        state.PauseTiming();
        modules = explorer->ListWindow()->topLevelItemCount();
        explorer.reset();
        Settle();
        state.ResumeTiming();
    }
    state.counters["modules"] = modules;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(Repository().OpenAef())) / 1e6;
}

void BM_ShowSource(benchmark::State& state) {
    if (!Repository().Ready()) {
        state.SkipWithError("the repository could not be built");
        return;
    }
    RepoExplorer explorer;
    explorer.resize(1280, 800);
    // Shown, so the pane has the height that decides how much is coloured at once.
    explorer.show();
    explorer.FindNode("Big")->setExpanded(true);
    const std::string appKey = "Big" + Digits10(Repository().BenchApp());
    QTreeWidgetItem* app = explorer.FindNode(appKey);
    app->setExpanded(true);
    QTreeWidgetItem* module = explorer.FindNode(appKey + Digits10(Repository().PaneModule()));
    for (auto _ : state) {
        state.PauseTiming();
        explorer.TreeWindow()->setCurrentItem(app);
        Settle();
        state.ResumeTiming();
        // The module's rows, then its source in the pane.
        explorer.TreeWindow()->setCurrentItem(module);
    }
    state.counters["lines"] = explorer.Pane()->Text()->document()->blockCount();
}

} // namespace

BENCHMARK(BM_FindName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAef)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowSource)->Unit(benchmark::kMillisecond);
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
