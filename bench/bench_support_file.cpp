#include "platform/KivDosPath.h"
#include "support/KivFileBin.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kLines = 1000000;

// 1,000,000 CR LF lines of 48 characters (50 MB), written once into a temporary folder that is
// removed when the program ends.
class LineFile {
public:
    LineFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kivbench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        m_path = m_folder / "lines.txt";
        std::ofstream out(m_path, std::ios::binary);
        std::string line;
        for (int i = 0; i < kLines; ++i) {
            line = "LOCAL cLine := \"" + std::to_string(1000000 + i) + "\" // source line text";
            line.resize(48, ' ');
            line += "\r\n";
            out.write(line.data(), static_cast<std::streamsize>(line.size()));
        }
    }
    ~LineFile() {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
    const std::filesystem::path& Path() const { return m_path; }
    int64_t Size() const { return static_cast<int64_t>(std::filesystem::file_size(m_path)); }

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_path;
};

const LineFile& File() {
    static LineFile file;
    return file;
}

void BM_ReadLine(benchmark::State& state) {
    const std::string dosPath = kiv::dospath::FromHost(File().Path());
    for (auto _ : state) {
        KivFileBin file(dosPath);
        if (!file.Open()) {
            state.SkipWithError("cannot open the line file");
            return;
        }
        int lines = 0;
        while (!file.Eof()) {
            std::string line = file.ReadLine(2048);
            benchmark::DoNotOptimize(line.data());
            ++lines;
        }
        if (lines != kLines)
            state.SkipWithError("wrong number of lines");
    }
    state.SetBytesProcessed(state.iterations() * File().Size());
}
BENCHMARK(BM_ReadLine)->Unit(benchmark::kMillisecond);

void BM_ReadLineBaseline(benchmark::State& state) {
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state) {
        std::FILE* in = std::fopen(File().Path().c_str(), "rb");
        if (!in) {
            state.SkipWithError("cannot open the line file");
            return;
        }
        int64_t lineEnds = 0;
        size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
            lineEnds += std::count(buffer.data(), buffer.data() + got, '\n');
        std::fclose(in);
        benchmark::DoNotOptimize(lineEnds);
        if (lineEnds != kLines)
            state.SkipWithError("wrong number of lines");
    }
    state.SetBytesProcessed(state.iterations() * File().Size());
}
BENCHMARK(BM_ReadLineBaseline)->Unit(benchmark::kMillisecond);

} // namespace
