// The repository engine's transfers and walks on an application of the size of a real one.
#include "engine/KivProjectStore.h"
#include "engine/KivRecordLayout.h"
#include "engine/KivSqliteEngine.h"
#include "platform/KivDosPath.h"
#include "support/KivRecordStream.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kModules = 200;
constexpr int kEntitiesPerModule = 50;
constexpr int kWalkEntities = 10000;

std::string Info(size_t size, size_t created, size_t built, uint32_t createdValue, uint32_t builtValue) {
    std::string data(size, '\0');
    KivRecordPatchU32(data, created, createdValue);
    KivRecordPatchU32(data, built, builtValue);
    return data;
}

// About 2 KB of source, as a function of a real application.
std::string Source(const std::string& name) {
    std::string text = "FUNCTION " + name + "(nFirst, nSecond)\r\n";
    while (text.size() < 2000)
        text +=
            "\tLOCAL nValue := nFirst * nSecond + " + std::to_string(text.size()) + "  // keep it going\r\n";
    text += "\tRETURN nValue\r\n";
    text.push_back('\0');
    return text;
}

void Entity(KivRecordWriter& w, const std::string& name) {
    w.PutText(0x0040, name);
    w.PutU16(0x0051, 1);
    w.PutU16(0x0044, 3);
    w.PutU16(0x004D, 17);
    w.Put(0x0041, Source(name));
    w.PutText(0x004E, "FUNCTION " + name + "(nFirst, nSecond)");
    w.PutU16(0x009C, 0);
    w.PutText(0x0123, name);
    w.Put(0x010D, Info(84, 28, 32, 1100000000, 1200000000));
}

// An AEF in the IDE's record order: modules x entities functions.
std::string Application(const std::string& name, int modules, int entities) {
    std::string out;
    KivRecordWriter w(out);
    std::string header("\x80\x02", 2);
    header += "CA-VO Application Export File";
    header.push_back('\0');
    w.Put(0x0001, header);
    std::string field = name;
    field.resize(64, '\0');
    w.Put(0x0002, field);
    w.Put(0x0107, std::string(76, '\x01'));
    w.PutText(0x000D, name + ".EXE");
    w.Put(0x010F, Info(76, 40, 36, 1000000000, 1300000000));
    for (int m = 0; m < modules; ++m) {
        w.PutText(0x0020, "Module" + std::to_string(m));
        w.Put(0x010E, Info(56, 20, 16, 1000000000, 1300000000));
        for (int e = 0; e < entities; ++e)
            Entity(w, "FN" + std::to_string(m) + "_" + std::to_string(e));
        w.PutText(0x0127, "");
    }
    w.PutEnd();
    return out;
}

// One repository for the whole run, in a temporary platform home removed at exit.
struct Bench {
    std::filesystem::path root;
    KivSqliteEngine engine;
    std::string aef;     // DOS path of the 200 x 50 application
    std::string walkAef; // DOS path of one module of 10,000 entities
    std::string out;     // DOS path the exports go to
    std::filesystem::path aefHost;
    std::filesystem::path copyHost;

    Bench() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kivbench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        root = pattern;
        setenv("KIV_HOME", (root / "home").c_str(), 1);
        if (engine.AdamInit(0, nullptr) != 0)
            std::abort();
        aefHost = root / "app.aef";
        copyHost = root / "copy.aef";
        Write(aefHost, Application("Bench", kModules, kEntitiesPerModule));
        Write(root / "walk.aef", Application("Walk", 1, kWalkEntities));
        aef = kiv::dospath::FromHost(aefHost);
        walkAef = kiv::dospath::FromHost(root / "walk.aef");
        out = kiv::dospath::FromHost(root / "out.aef");
    }
    ~Bench() {
        engine.AdamExit();
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    static void Write(const std::filesystem::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    uint16_t Import(const std::string& file, const char* name) {
        uint32_t app = 0;
        if (engine.AdamImportApp(file.c_str(), name, 1, 0, &app, nullptr) != 0)
            std::abort();
        return static_cast<uint16_t>(app);
    }
};

Bench& TheBench() {
    static Bench bench;
    return bench;
}

void BM_ImportApp(benchmark::State& state) {
    Bench& b = TheBench();
    for (auto _ : state) {
        state.PauseTiming();
        uint16_t old = 0;
        b.engine.AppFind("Imported", &old);
        if (old)
            b.engine.AppDeleteAID(old);
        state.ResumeTiming();
        benchmark::DoNotOptimize(b.Import(b.aef, "Imported"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(b.aefHost)));
}
BENCHMARK(BM_ImportApp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportApp(benchmark::State& state) {
    Bench& b = TheBench();
    uint16_t app = 0;
    b.engine.AppFind("Exported", &app);
    if (!app)
        app = b.Import(b.aef, "Exported");
    for (auto _ : state) {
        uint32_t modules = 0;
        if (b.engine.AdamExportApp(b.out.c_str(), app, 0, &modules) != 0)
            std::abort();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(b.aefHost)));
}
BENCHMARK(BM_ExportApp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyBaseline(benchmark::State& state) {
    Bench& b = TheBench();
    for (auto _ : state)
        std::filesystem::copy_file(b.aefHost, b.copyHost, std::filesystem::copy_options::overwrite_existing);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(b.aefHost)));
}
BENCHMARK(BM_CopyBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor under BM_ImportApp: the entity rows it stores (the same names, prototypes, source
// bytes and record layouts), inserted by one prepared statement in one transaction into a fresh
// project database, which has the engine's own settings.
void BM_SqliteBulkBaseline(benchmark::State& state) {
    Bench& b = TheBench();
    struct Row {
        std::string name, prototype, source, layout;
    };
    std::vector<Row> rows;
    for (int m = 0; m < kModules; ++m) {
        for (int e = 0; e < kEntitiesPerModule; ++e) {
            Row& row = rows.emplace_back();
            row.name = "FN" + std::to_string(m) + "_" + std::to_string(e);
            row.prototype = "FUNCTION " + row.name + "(nFirst, nSecond)";
            row.source = Source(row.name);
            const std::string info = Info(84, 28, 32, 1100000000, 1200000000);
            KivRecordLayout::Append(row.layout, KivLayoutKind::Slot, 0x0040, row.name + '\0');
            KivRecordLayout::Append(row.layout, KivLayoutKind::Raw, 0x0051, std::string("\x01\x00", 2));
            KivRecordLayout::Append(row.layout, KivLayoutKind::Slot, 0x0044, std::string("\x03\x00", 2));
            KivRecordLayout::Append(row.layout, KivLayoutKind::Slot, 0x004D, std::string("\x11\x00", 2));
            KivRecordLayout::Append(row.layout, KivLayoutKind::Marker, 0x0041, {});
            KivRecordLayout::Append(row.layout, KivLayoutKind::Slot, 0x004E, row.prototype + '\0');
            KivRecordLayout::Append(row.layout, KivLayoutKind::Raw, 0x009C, std::string(2, '\0'));
            KivRecordLayout::Append(row.layout, KivLayoutKind::Slot, 0x0123, row.name + '\0');
            KivRecordLayout::Append(row.layout, KivLayoutKind::Slot, 0x010D, info);
        }
    }
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::filesystem::path dir = b.root / ("bulk" + std::to_string(round++));
        std::filesystem::create_directories(dir);
        auto store = std::make_unique<KivProjectStore>();
        if (store->Open(dir, true) != 0)
            std::abort();
        state.ResumeTiming();
        KivSqliteDb& db = store->Db();
        KivSqliteDb::Transaction tx(db);
        int64_t seq = 0;
        for (const Row& row : rows) {
            auto st = db.Prepare("INSERT INTO entity(module, seq, name, type, block, appear, ctime, btime, prot,"
                                 " display, source, custom, layout) VALUES(?1, ?2, ?3, 3, 17, 1, 1100000000,"
                                 " 1200000000, ?4, ?3, ?5, x'', ?6)");
            const int64_t module = 1 + seq / kEntitiesPerModule;
            st.Bind(1, module).Bind(2, ++seq).BindView(3, row.name);
            st.BindView(4, row.prototype).BindView(5, row.source).BindView(6, row.layout);
            if (!st.Run())
                std::abort();
        }
        if (!tx.Commit())
            std::abort();
        state.PauseTiming();
        store.reset();
        std::filesystem::remove_all(dir);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(b.aefHost)));
}
BENCHMARK(BM_SqliteBulkBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EntityWalk(benchmark::State& state) {
    Bench& b = TheBench();
    uint16_t app = 0;
    b.engine.AppFind("Walk", &app);
    if (!app)
        app = b.Import(b.walkAef, "Walk");
    uint32_t module = 0;
    b.engine.AppGetFirstModule(app, &module);
    int64_t bytes = 0;
    for (auto _ : state) {
        uint32_t count = 0;
        uint32_t entity = 0;
        b.engine.ModGetFirstEntity(module, &entity);
        while (entity) {
            KivSymbol name;
            uint32_t type = 0, block = 0, visible = 0, created = 0, built = 0, length = 0;
            KivRecordHandle record = 0;
            char prototype[256];
            std::string source;
            b.engine.EntQueryName(entity, &name);
            b.engine.EntQueryType(entity, &type);
            b.engine.EntQueryBlockType(entity, &block);
            b.engine.EntQueryAppearance(entity, &visible);
            b.engine.EntQueryProt(entity, prototype, sizeof prototype);
            b.engine.EntQueryData(entity, 7, &record, &length, nullptr, nullptr);
            b.engine.RecGet(record, length, &source);
            b.engine.EntQueryCreateTime(entity, &created);
            b.engine.EntQueryTime(entity, &built);
            bytes += static_cast<int64_t>(source.size());
            ++count;
            b.engine.ModGetNextEntity(&entity);
        }
        if (count != kWalkEntities)
            std::abort();
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_EntityWalk)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
