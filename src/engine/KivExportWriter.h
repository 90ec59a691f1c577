#pragma once

#include "engine/KivExportImage.h"

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
    // The application as an AEF, appended to `out`.
    static void WriteApplication(const KivApplicationImage& app, std::string& out);

    // The application's DLL form: the AEF another application imports to call this one built as
    // a DLL. It has the application part of the AEF, then one module per module with callable
    // entities: each FUNCTION or PROCEDURE that is not STATIC becomes a _DLL declaration (type 1,
    // block kind FUNCTION) whose prototype is "_DLL " + prototype + ":" + the DLL's name + "." +
    // the function's name, the DLL's name being the executable name without folder and
    // extension (the application's name when it has none). Its source is the prototype and
    // CR LF. Modules without such entities are left out. Returns the number of modules written.
    static size_t WriteDllForm(const KivApplicationImage& app, std::string& out);

    // The module as a MEF (its own header, its records, the end record), appended to `out`.
    static void WriteModuleFile(const KivModuleImage& module, std::string& out);

    // The module's records alone, as they stand inside an AEF.
    static void WriteModule(const KivModuleImage& module, std::string& out);
};
