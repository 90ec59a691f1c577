// The export-file readers on files of the size of a large application, each against the plainest
// reading of the same file: an AEF scanned with every entity's name and prototype read against
// summing its mapped bytes, a PRG read and split against fread and counting entity lines. The
// comparison of two such AEFs that differ in 1% of their entities is measured against the scan.
#include "explorer/transfer/KivModuleCompare.h"
#include "exportfiles/KivAEFFile.h"
#include "exportfiles/KivEntityAbstract.h"
#include "exportfiles/KivMEFFile.h"
#include "exportfiles/KivPRGFile.h"
#include "platform/KivDosPath.h"
#include "support/KivProgress.h"
#include "support/KivRecordStream.h"

#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kAefModules = 2000;
constexpr int kAefEntitiesPerModule = 50; // 100,000 entities
constexpr size_t kAefSourceSize = 950;    // about 100 MB in all
constexpr int kChangedEvery = 100; // the second AEF differs in every 100th entity's source
constexpr int kPrgEntities = 10000;
constexpr int kPrgLinesPerEntity = 20; // 200,000 lines

// The generated files live in one temporary folder, made on first use and removed at exit.
class Files {
public:
    static Files& Get() {
        static Files files;
        return files;
    }
    const fs::path& Aef() const { return m_aef; }
    const fs::path& ChangedAef() const { return m_changedAef; }
    const fs::path& Prg() const { return m_prg; }

private:
    Files() {
        m_dir = fs::temp_directory_path() / ("kiv-bench-exportfiles-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        m_aef = m_dir / "big.aef";
        m_prg = m_dir / "big.prg";
        m_changedAef = m_dir / "changed.aef";
        WriteAef(m_aef, false);
        WriteAef(m_changedAef, true);
        WritePrg();
    }
    ~Files() {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }

    static void WriteAef(const fs::path& path, bool changed) {
        std::ofstream file(path, std::ios::binary);
        std::string out;
        KivRecordWriter w(out);
        w.Put(0x0001, std::string("\x80\x02", 2) + "CA-VO Application Export File" + '\0');
        std::string name("Big");
        name.resize(64, '\0');
        w.Put(0x0002, name);
        w.PutText(0x000D, "BIG.EXE");
        w.Put(0x010F, std::string(76, '\0'));
        for (int m = 0; m < kAefModules; ++m) {
            w.PutText(0x0020, "Module" + std::to_string(m));
            w.Put(0x010E, std::string(56, '\0'));
            for (int e = 0; e < kAefEntitiesPerModule; ++e) {
                const std::string entity = "Func" + std::to_string(m) + "_" + std::to_string(e);
                const std::string prototype = "func " + entity + "(nFirst, nSecond) as int pascal";
                std::string source = prototype + "\r\n";
                while (source.size() < kAefSourceSize)
                    source += "\tLOCAL nValue := nFirst * nSecond  // keep it going\r\n";
                if (changed && (m * kAefEntitiesPerModule + e) % kChangedEvery == 0)
                    source[source.size() / 2] = '#';
                w.PutText(0x0040, KivUpperAscii(entity));
                w.PutU16(0x0051, 1);
                w.PutU16(0x0044, 3);
                w.PutU16(0x004D, 17);
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

    void WritePrg() const {
        std::ofstream file(m_prg, std::ios::binary);
        for (int e = 0; e < kPrgEntities; ++e) {
            file << (e % 2 == 0 ? "FUNCTION F" : "  method M") << e << "(a, b) CLASS Foo\r\n";
            for (int l = 1; l < kPrgLinesPerEntity; ++l)
                file << "\tLOCAL n" << l << " := a * b + " << l << "  // a line of code\r\n";
        }
    }

    static std::string KivUpperAscii(std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    }

    fs::path m_dir;
    fs::path m_aef;
    fs::path m_changedAef;
    fs::path m_prg;
};

void BM_AefScan(benchmark::State& state) {
    const std::string file = kiv::dospath::ToDos(Files::Get().Aef().string());
    for (auto _ : state) {
        KivAEFFile aef(file);
        size_t entities = 0;
        size_t bytes = 0;
        for (const auto& module : aef.ModuleList()) {
            for (const auto& entity : module->EntityList()) {
                bytes += entity->Name().size() + entity->Prototype().size();
                ++entities;
            }
        }
        if (entities != static_cast<size_t>(kAefModules * kAefEntitiesPerModule))
            state.SkipWithError("not every entity was read");
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_AefScan)->Unit(benchmark::kMillisecond);

void BM_Diff(benchmark::State& state) {
    const std::string before = kiv::dospath::ToDos(Files::Get().Aef().string());
    const std::string after = kiv::dospath::ToDos(Files::Get().ChangedAef().string());
    for (auto _ : state) {
        std::string error;
        KivCompareSide a = KivCompareSide::OfFile(before, error);
        KivCompareSide b = KivCompareSide::OfFile(after, error);
        KivSilentProgress progress;
        KivModuleCompare compare;
        compare.Run(a, b, progress);
        size_t changed = 0;
        for (const KivModuleChange& module : compare.Modules())
            changed += module.entities.size();
        if (!error.empty() || changed != static_cast<size_t>(kAefModules * kAefEntitiesPerModule / kChangedEvery))
            state.SkipWithError("not every changed entity was found");
        benchmark::DoNotOptimize(changed);
    }
}
BENCHMARK(BM_Diff)->Unit(benchmark::kMillisecond);

void BM_AefBaseline(benchmark::State& state) {
    const std::string path = Files::Get().Aef().string();
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        const size_t size = static_cast<size_t>(::lseek(fd, 0, SEEK_END));
        void* view = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
        const auto* bytes = static_cast<const unsigned char*>(view);
        uint64_t sum = 0;
        for (size_t i = 0; i < size; ++i)
            sum += bytes[i];
        benchmark::DoNotOptimize(sum);
        ::munmap(view, size);
        ::close(fd);
    }
}
BENCHMARK(BM_AefBaseline)->Unit(benchmark::kMillisecond);

void BM_PrgSplit(benchmark::State& state) {
    const std::string file = kiv::dospath::ToDos(Files::Get().Prg().string());
    for (auto _ : state) {
        KivPRGFile prg(file);
        if (prg.EntityCount() != static_cast<uint32_t>(kPrgEntities))
            state.SkipWithError("not every entity was found");
        benchmark::DoNotOptimize(prg.EntityCount());
    }
}
BENCHMARK(BM_PrgSplit)->Unit(benchmark::kMillisecond);

// A line begins an entity here when its first word, after blanks and tabs, starts with one of
// the four words in any case.
bool BeginsEntity(const char* line, size_t length) {
    size_t i = 0;
    while (i < length && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    auto starts = [&](const char* word, size_t n) {
        if (length - i < n)
            return false;
        for (size_t k = 0; k < n; ++k)
            if (std::toupper(static_cast<unsigned char>(line[i + k])) != word[k])
                return false;
        return true;
    };
    return starts("FUNC", 4) || starts("PROC", 4) || starts("METH", 4) || starts("CLASS", 5);
}

void BM_PrgBaseline(benchmark::State& state) {
    const std::string path = Files::Get().Prg().string();
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::string text;
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
        size_t count = 0;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            if (BeginsEntity(text.data() + start, end - start))
                ++count;
            start = end + 1;
        }
        if (count != static_cast<size_t>(kPrgEntities))
            state.SkipWithError("not every entity line was counted");
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_PrgBaseline)->Unit(benchmark::kMillisecond);

} // namespace
