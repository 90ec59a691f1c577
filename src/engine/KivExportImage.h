#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

// An entity handed from where it lies to where it goes, without copies of its texts: a stored
// row to an export file, an export file's records to the store. The same values as
// KivEntityImage, as views that are valid only for the one call that hands them over.
struct KivEntityView {
    std::string_view name;
    uint32_t type = 3;
    uint32_t block = 0;
    uint32_t appearance = 1;
    uint32_t created = 0;
    uint32_t built = 0;
    std::string_view prototype;
    std::string_view display;
    std::string_view source;
    std::string_view custom;
    std::string_view layout;
};

inline KivEntityView KivViewOf(const KivEntityImage& e) {
    return {e.name,    e.type,    e.block,  e.appearance, e.created, e.built,
            e.prototype, e.display, e.source, e.custom,     e.layout};
}

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
