// Any bytes as an AEF, imported into a fresh repository. The import must refuse them or take them,
// never crash or read out of bounds; what it takes must export, and the exported file must come
// back unchanged through a second import and export.
#include "engine/KivSqliteEngine.h"
#include "platform/KivDosPath.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct Repository {
    std::filesystem::path root;
    KivSqliteEngine engine;
    std::filesystem::path input;
    std::string inputDos;
    std::string firstDos;
    std::string secondDos;

    Repository() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kivfuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        root = pattern;
        setenv("KIV_HOME", (root / "home").c_str(), 1);
        if (engine.AdamInit(0, nullptr) != 0)
            std::abort();
        input = root / "input.aef";
        inputDos = kiv::dospath::FromHost(input);
        firstDos = kiv::dospath::FromHost(root / "first.aef");
        secondDos = kiv::dospath::FromHost(root / "second.aef");
    }
    ~Repository() {
        engine.AdamExit();
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Repository repo;
    KivSqliteEngine& e = repo.engine;
    std::ofstream(repo.input, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    uint32_t app = 0;
    uint32_t modules = 0;
    if (e.AdamImportApp(repo.inputDos.c_str(), "Fuzz", 1, 0, &app, &modules) != 0)
        return 0;
    auto id = static_cast<uint16_t>(app);
    if (e.AdamExportApp(repo.firstDos.c_str(), id, 0, &modules) != 0)
        std::abort();
    if (e.AdamImportApp(repo.firstDos.c_str(), "Fuzz", 1, 0, &app, &modules) != 0)
        std::abort();
    id = static_cast<uint16_t>(app);
    if (e.AdamExportApp(repo.secondDos.c_str(), id, 0, &modules) != 0)
        std::abort();
    if (Read(repo.root / "first.aef") != Read(repo.root / "second.aef"))
        std::abort();
    uint32_t dllModules = 0;
    e.AdamExportApp(repo.secondDos.c_str(), id, 1, &dllModules);
    e.AppDeleteAID(id);
    return 0;
}
