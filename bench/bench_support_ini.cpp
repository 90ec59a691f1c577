#include "platform/KivDosPath.h"
#include "support/KivIniFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// An information file as the external-module export writes it for a large application:
// 5,000 module sections of a few keys each. Made once, removed at exit.
struct InformationFile {
    fs::path folder;
    fs::path host;
    std::string dos;
    std::string bytes;

    InformationFile() {
        folder = fs::temp_directory_path() / ("kivbench-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        host = folder / "Big.KEA";
        dos = kiv::dospath::FromHost(host);
        for (int i = 1; i <= 5000; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "Module%04d", i);
            bytes += std::string("[") + name + "]\r\nName=" + name + "\r\nPRG=" + name +
                     ".Prg\r\nDesc=Module " + name + " of the benchmark application\r\n\r\n";
        }
        std::ofstream(host, std::ios::binary) << bytes;
    }
    ~InformationFile() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    std::string Current() const {
        std::ifstream in(host, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

const InformationFile& Sample() {
    static const InformationFile file;
    return file;
}

} // namespace

// Opening the file, listing its sections and reading two keys of each, as the import of a large
// application does; the reads write nothing back, so the file must be as it was.
static void BM_IniReadAll(benchmark::State& state) {
    const InformationFile& file = Sample();
    for (auto _ : state) {
        KivIniFile ini(file.dos);
        std::vector<std::string> sections = ini.GetSections();
        size_t total = 0;
        for (const std::string& section : sections)
            total += ini.GetString(section, "Name").size() + ini.GetString(section, "PRG").size();
        benchmark::DoNotOptimize(total);
        if (sections.size() != 5000 || total != 5000 * (10 + 14)) {
            state.SkipWithError("the sections or values read are wrong");
            break;
        }
    }
    if (file.Current() != file.bytes)
        state.SkipWithError("reading changed the file");
}
BENCHMARK(BM_IniReadAll)->Unit(benchmark::kMillisecond);
