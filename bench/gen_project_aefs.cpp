// Writes the AEF files of a large project for bench/bench_project_transfer.sh: APPS applications
// (the first tenth libraries, the rest each using two of them, some libraries using others),
// MODULES modules and ENTITIES entities in all, each entity a function with about SOURCE bytes
// of source. Prints one line per file, "<application name> <file>", libraries first, so that a
// script can import them in that order with kivrepo import-aef.
#include "support/KivRecordStream.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::string Info(size_t size, size_t created, size_t built) {
    std::string data(size, '\0');
    KivRecordPatchU32(data, created, 1000000000);
    KivRecordPatchU32(data, built, 1300000000);
    return data;
}

std::string Source(const std::string& name, size_t bytes) {
    std::string text = "FUNCTION " + name + "(nFirst, nSecond)\r\n";
    while (text.size() < bytes)
        text += "\tLOCAL nValue := nFirst * nSecond + " + std::to_string(text.size()) + "  // keep going\r\n";
    text += "\tRETURN nValue\r\n";
    text.push_back('\0');
    return text;
}

std::string Name(int app) {
    char name[16];
    std::snprintf(name, sizeof name, "App%02d", app);
    return name;
}

std::string Application(int app, int libraries, int modules, int entities, size_t sourceBytes) {
    std::string out;
    KivRecordWriter w(out);
    std::string header("\x80\x02", 2);
    header += "CA-VO Application Export File";
    header.push_back('\0');
    w.Put(0x0001, header);
    std::string field = Name(app);
    field.resize(64, '\0');
    w.Put(0x0002, field);
    w.PutText(0x000D, Name(app) + ".EXE");
    if (libraries > 0 && app >= libraries) {
        w.PutText(0x0004, Name(app % libraries));
        w.PutText(0x0004, Name((app + 3) % libraries));
    } else if (libraries > 1 && app >= libraries / 2) {
        w.PutText(0x0004, Name(app - libraries / 2));
    }
    std::string info = Info(76, 40, 36);
    info[4] = app < libraries ? 1 : 0;
    w.Put(0x010F, info);
    for (int m = 0; m < modules; ++m) {
        w.PutText(0x0020, "Module" + std::to_string(m));
        w.Put(0x010E, Info(56, 20, 16));
        for (int e = 0; e < entities; ++e) {
            std::string name = "A";
            name += std::to_string(app);
            name += 'M';
            name += std::to_string(m);
            name += 'F';
            name += std::to_string(e);
            w.PutText(0x0040, name);
            w.PutU16(0x0051, 1);
            w.PutU16(0x0044, 3);
            w.PutU16(0x004D, 17);
            w.Put(0x0041, Source(name, sourceBytes));
            w.PutText(0x004E, "FUNCTION " + name + "(nFirst, nSecond)");
            w.PutU16(0x009C, 0);
            w.PutText(0x0123, name);
            w.Put(0x010D, Info(84, 28, 32));
        }
        w.PutText(0x0127, "");
    }
    w.PutEnd();
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: gen_project_aefs OUTDIR [APPS MODULES ENTITIES SOURCE]\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    const int apps = argc > 2 ? std::atoi(argv[2]) : 50;
    const int modules = argc > 3 ? std::atoi(argv[3]) : 2000;
    const int entities = argc > 4 ? std::atoi(argv[4]) : 100000;
    const size_t source = argc > 5 ? static_cast<size_t>(std::atol(argv[5])) : 400;
    if (apps < 1 || modules < apps || entities < modules) {
        std::cerr << "need 1 <= APPS <= MODULES <= ENTITIES\n";
        return 2;
    }
    std::filesystem::create_directories(dir);
    const int libraries = apps >= 10 ? apps / 10 : apps / 2;
    for (int app = 0; app < apps; ++app) {
        // Spread the modules and entities evenly, the remainders on the first applications.
        const int appModules = modules / apps + (app < modules % apps ? 1 : 0);
        const int perModule = entities / modules;
        const std::filesystem::path file = dir / (Name(app) + ".aef");
        const std::string bytes = Application(app, libraries, appModules, perModule, source);
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::cout << Name(app) << ' ' << file.string() << '\n';
    }
    return 0;
}
