#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An application, module or entity as the engine holds it: the values it interprets, and the
// layout of the records it was read from (KivRecordLayout), so that an export gives back every
// record of an imported file in its place, with the interpreted ones carrying today's values.

// One entry of an application's search path, UDC or CH list: its name and the records that
// make it up in an export file (the name record first, then e.g. a time stamp and the content).
struct KivListEntry {
    std::string name;
    std::string records;
};

struct KivEntityImage {
    std::string name; // upper case, as the IDE keeps it
    uint32_t type = 3;
    uint32_t block = 0;
    uint32_t appearance = 1;
    uint32_t created = 0;
    uint32_t built = 0;
    std::string prototype;
    std::string display; // the name in its written case
    std::string source;  // the source record's data as stored: CR LF lines, then NUL bytes
    std::string custom;  // the designer's binary
    std::string layout;
};

struct KivModuleImage {
    std::string name;
    std::string expName;
    std::string externFile;
    std::string externSource;
    uint32_t debug = 0;
    uint32_t oem = 0;
    uint32_t appearance = 1;
    uint32_t created = 0;
    uint32_t built = 0;
    std::string head; // layout of the records before the entities
    std::string tail; // layout of the records after them
    std::vector<KivEntityImage> entities;
};

struct KivApplicationImage {
    std::string name;
    std::string exeName;
    std::string groupName;
    std::string description;
    std::string expName;
    uint32_t debug = 0;
    bool library = false;
    bool dll = false;
    bool systemLibrary = false;
    uint32_t created = 0;
    uint32_t built = 0;
    std::string layout;
    std::vector<KivListEntry> libraries;
    std::vector<KivListEntry> udcs;
    std::vector<KivListEntry> chs;
    std::vector<KivModuleImage> modules;
};
