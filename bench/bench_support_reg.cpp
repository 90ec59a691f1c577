#include "platform/KivDosPath.h"
#include "platform/KivRegSaveFile.h"
#include "platform/KivRegistryStore.h"
#include "support/KivRegistry.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A key record with 20 values of the common types.
KivRegSaveFile::Key Filled(uint32_t depth, const std::string& keyName) {
    KivRegSaveFile::Key record{depth, kiv::reg::kFileTimeUnixEpoch, keyName, {}};
    char name[32];
    for (int v = 0; v < 20; ++v) {
        std::snprintf(name, sizeof name, "Value \"%02d\"", v);
        switch (v % 4) {
        case 0:
            record.values.push_back({name, kiv::reg::kRegSz, "C:\\CAVO25\\" + keyName + '\0'});
            break;
        case 1:
            record.values.push_back({name, kiv::reg::kRegDword, std::string("\x2A\0\0\0", 4)});
            break;
        case 2:
            record.values.push_back({name, kiv::reg::kRegBinary, std::string(32, '\x5A')});
            break;
        default:
            record.values.push_back({name, kiv::reg::kRegExpandSz, std::string("%TEMP%\\kiv\0", 11)});
            break;
        }
    }
    return record;
}

// A settings tree of 500 subkeys holding 20 values each (10,000 values of the common types) in a
// store of its own platform home. Made once, in one restore, removed at exit.
struct SettingsTree {
    fs::path home;
    std::string file;
    bool ready = false;

    SettingsTree() {
        home = fs::temp_directory_path() / ("kivbench-reg-" + std::to_string(::getpid()));
        fs::create_directories(home);
        setenv("KIV_HOME", home.c_str(), 1);
        file = kiv::dospath::FromHost(home / "settings.reg");

        KivRegSaveFile::Tree tree;
        tree.push_back({0, kiv::reg::kFileTimeUnixEpoch, "Bench", {}});
        char name[32];
        for (int group = 0; group < 20; ++group) {
            std::snprintf(name, sizeof name, "Group%02d", group);
            tree.push_back(Filled(1, name));
            for (int key = 0; key < 24; ++key) {
                std::snprintf(name, sizeof name, "Key%02d", key);
                tree.push_back(Filled(2, name));
            }
        }
        size_t values = 0;
        for (const auto& key : tree)
            values += key.values.size();
        if (values != 10000 || tree.size() - 1 != 500)
            return;

        KivRegistryStore store;
        kiv::reg::HKey key = 0;
        ready = store.Open() == kiv::reg::kSuccess &&
                store.CreateKey(kiv::reg::kCurrentUser, "Software\\Bench", key) == kiv::reg::kSuccess &&
                store.RestoreKeyFromBytes(key, KivRegSaveFile::Encode(tree)) == kiv::reg::kSuccess;
    }
    ~SettingsTree() {
        std::error_code ec;
        fs::remove_all(home, ec);
    }
};

const SettingsTree& Sample() {
    static const SettingsTree tree;
    return tree;
}

} // namespace

// The registry tool's export of a large settings key as a REGEDIT4 file.
static void BM_RegExport(benchmark::State& state) {
    const SettingsTree& tree = Sample();
    if (!tree.ready) {
        state.SkipWithError("the settings tree could not be made");
        return;
    }
    KivRegistry reg("Software\\Bench", kiv::reg::kCurrentUser);
    for (auto _ : state) {
        if (!reg.ExportToFile("", tree.file)) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    state.counters["values"] = 10000;
    state.counters["bytes"] = static_cast<double>(fs::file_size(kiv::dospath::ToHost(tree.file).value()));
}
BENCHMARK(BM_RegExport)->Unit(benchmark::kMillisecond);
