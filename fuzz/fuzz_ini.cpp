// Any bytes as an INI file: the text must come back byte for byte, every listed entry must be
// readable, and a write must change its own entry and nothing else, in memory and on disk.
#include "platform/KivDosPath.h"
#include "support/KivIniDocument.h"
#include "support/KivIniFile.h"
#include "support/KivStringUtil.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path g_folder;
fs::path g_file;

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

using Values = std::map<std::string, std::string>;

// Every entry the document lists, by lower-case section and key.
Values AllValues(const KivIniDocument& doc) {
    Values out;
    for (const std::string& section : doc.Sections()) {
        for (const std::string& key : doc.Entries(section)) {
            auto value = doc.Value(section, key);
            Check(value.has_value());
            Check(out.emplace(KivLower(section) + '\n' + KivLower(key), std::string(*value)).second);
        }
    }
    return out;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The values after a write of key in section: the same as before, but for that one entry.
void CheckOnlyChanged(Values before, Values after, const std::string& section, const std::string& key,
                      const std::string& value) {
    std::string id = KivLower(section) + '\n' + KivLower(key);
    auto written = after.find(id);
    Check(written != after.end() && written->second == value);
    after.erase(id);
    before.erase(id);
    Check(before == after);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::error_code ec;
    fs::path base = fs::exists("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path(ec);
    g_folder = base / ("kivfuzz-" + std::to_string(::getpid()));
    fs::create_directories(g_folder / "home", ec);
    setenv("KIV_HOME", (g_folder / "home").c_str(), 1);
    g_file = g_folder / "fuzz.ini";
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(g_folder, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    KivIniDocument doc(bytes);
    Check(doc.Text() == bytes);
    const Values before = AllValues(doc);
    const std::vector<std::string> sections = doc.Sections();
    const std::string target = sections.empty() ? std::string("S") : sections.front();

    // In memory: a new entry in the first section, then the section removed.
    KivIniDocument changed(bytes);
    auto result = changed.SetValue(target, "KivFuzzKey", "fuzz value");
    Check((result == KivIniDocument::Change::Unchanged) == (doc.Value(target, "KivFuzzKey") == "fuzz value"));
    if (result != KivIniDocument::Change::Changed) {
        Check(changed.Text() == bytes);
    } else {
        CheckOnlyChanged(before, AllValues(KivIniDocument(changed.Text())), target, "KivFuzzKey",
                         "fuzz value");
        changed.DeleteSection(target);
        KivIniDocument reread(changed.Text());
        Check(reread.Entries(target).empty());
        for (const std::string& section : sections)
            if (!KivEqualsIgnoringCase(section, target))
                Check(reread.Entries(section) == doc.Entries(section));
    }

    // On disk: reading what is there writes nothing; reading a missing entry writes it back.
    // Files are slow, so one input in four takes this road, chosen by its size to stay
    // reproducible.
    if (size % 4 != 0)
        return 0;
    std::ofstream(g_file, std::ios::binary | std::ios::trunc) << bytes;
    KivIniFile ini(kiv::dospath::FromHost(g_file));
    Check(ini.GetSections() == sections);
    for (const std::string& section : sections) {
        Check(ini.GetEntries(section) == doc.Entries(section));
        for (const std::string& key : ini.GetEntries(section))
            Check(ini.GetString(section, key) ==
                  KivRTrim(doc.Value(section, key)->substr(0, KivIniFile::kValueLimit)));
    }
    Check(ReadAll(g_file) == bytes);
    bool present = doc.Value(target, "KivFuzzMissing").has_value();
    std::string value = ini.GetString(target, "KivFuzzMissing", "dflt ");
    if (!present && KivIniDocument::CanStore(target, "KivFuzzMissing", "dflt ")) {
        Check(value == "dflt");
        CheckOnlyChanged(before, AllValues(KivIniDocument(ReadAll(g_file))), target, "KivFuzzMissing",
                         "dflt ");
    } else {
        Check(ReadAll(g_file) == bytes);
    }
    return 0;
}
