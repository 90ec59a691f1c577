#pragma once

#include "engine/KivExportImage.h"

#include <cstdint>
#include <string_view>

// Takes what KivExportReader reads, piece by piece, in file order, so that a large file is
// stored as it is walked and never held as a whole image. The module handed to ModuleBegin has
// the values of the records before its entities; ModuleEnd gets it again with those of its tail.
// A non-zero status from any call ends the read with that status.
class KivExportSink {
public:
    virtual ~KivExportSink() = default;
    // The application's own values, layout and lists (an AEF only; no modules).
    virtual uint32_t Application(const KivApplicationImage& app) = 0;
    virtual uint32_t ModuleBegin(const KivModuleImage& module) = 0;
    // The entity's texts are views into the file's bytes (its name into the reader's own copy).
    virtual uint32_t Entity(const KivEntityView& entity) = 0;
    virtual uint32_t ModuleEnd(const KivModuleImage& module) = 0;
};

// Reads AEF and MEF files for the engine. The whole stream is checked before anything is handed
// to the sink: a bad header, a record running past the end or a missing end record refuses it.
class KivExportReader {
public:
    // An AEF: header tag 0x0001 of 32 bytes with an accepted version word, the application's
    // records, its modules from each 0x0020 record on, and the end record. Module names must be
    // present and unique (without regard to case): a module breaking that rule ends the read
    // with kBadFile, after the modules before it went to the sink. Returns kOk, kBadFile or the
    // sink's status.
    static uint32_t ReadApplication(std::string_view bytes, KivExportSink& sink);

    // A MEF: header tag 0x0001 of 27 bytes, the records of one named module, the end record.
    // Returns kOk, kBadFile (before anything went to the sink) or the sink's status.
    static uint32_t ReadModule(std::string_view bytes, KivExportSink& sink);

    // True when the bytes start with the head of a MEF header record.
    static bool IsModuleFile(std::string_view bytes);
};
