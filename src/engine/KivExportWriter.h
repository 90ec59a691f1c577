#pragma once

#include "engine/KivExportImage.h"

#include <cstdint>
#include <functional>
#include <string>

// Writes the engine's images as AEF and MEF record streams. Each level's records come out in
// the order of its layout: records the engine does not interpret byte for byte, interpreted ones
// unchanged while their value is, else with today's value. Values the layout has no place for
// (an application made in the repository, a name set later) go where the IDE writes them:
//   application: header, name, executable name, group, description, search path, UDCs,
//                information, CHs, export path, then the modules, then the end record;
//   module:      name, information, external file and source, entities, export name;
//   entity:      name, type, block kind, source, prototype, designer binary, display name,
//                information.
class KivExportWriter {
public:
    // The header and the application's own records, appended to `out`: an AEF is this, then
    // each module (WriteModule), then the end record (WriteEnd).
    static void WriteApplicationPart(const KivApplicationImage& app, std::string& out);

    // The header of a MEF: a MEF is this, then its module, then the end record.
    static void WriteModuleFileHeader(std::string& out);

    // The module's records as they stand inside an AEF or MEF. Its entities come one at a time:
    // `entities` is called between the module's head and its tail and writes each through
    // WriteEntity (`module.entities` is not read). A non-zero status from it ends the write.
    static uint32_t WriteModule(const KivModuleImage& module, std::string& out,
                                const std::function<uint32_t()>& entities);
    static void WriteEntity(const KivEntityImage& entity, std::string& out);
    static void WriteEntity(const KivEntityView& entity, std::string& out);

    static void WriteEnd(std::string& out);

    // The DLL form of an application is the AEF another application imports to call this one
    // built as a DLL. It has the application part of the AEF, then one module per module with
    // callable entities, then the end record. Each FUNCTION or PROCEDURE that is not STATIC
    // becomes a _DLL declaration (type 1, block kind FUNCTION) whose prototype is
    // "_DLL " + prototype + ":" + the DLL's name + "." + the function's name, and whose source is
    // the prototype and CR LF. Modules without such entities are left out.
    // The DLL's name: the executable name without folder and extension, else the application's.
    static std::string DllName(const KivApplicationImage& app);
    // The declaration of a callable entity; false for any other.
    static bool DllDeclaration(const KivEntityView& entity, const std::string& dllName,
                              KivEntityImage& declaration);
};
