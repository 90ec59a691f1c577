#pragma once

#include "platform/KivSymbol.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A record handed out by AppQueryDescription or EntQueryData. The engine keeps the record's bytes
// until the next call of the same operation (or AdamExit); RecGet copies them out. A handle the
// engine no longer keeps gives a non-zero status, so a stale handle can never reach freed memory.
using KivRecordHandle = uint32_t;

// The repository engine: projects, their applications, modules and entities, and the transfer of
// applications and modules to and from export files. Every operation returns a status, 0 for
// success; engine statuses are listed in KivEngineStatus.h, file errors are Windows error numbers.
//
// Conventions shared by every operation:
// - Texts come in as NUL-terminated bytes; a null pointer counts as an empty text, except where
//   an operation gives null a meaning of its own (ModSetExtern).
// - Texts go out into the caller's buffer of the given capacity, cut to fit and always
//   NUL-terminated; a null buffer or a capacity of 0 is refused.
// - IDs: application 16-bit, module and entity 32-bit, never 0 and never reused in a project.
//   An ID that is not in the current project gives a non-zero status. Find operations that find
//   nothing succeed with ID 0.
// - Walks: a First call starts a walk of its kind (applications, modules, entities, search path,
//   UDC, CH) and the Next call continues the walk of its kind that was started last; the end is
//   ID 0 or an empty name. The catalogue walk is kept per enumeration handle.
// - Times are seconds since 1970-01-01 00:00:00 GMT.
// - Application, module and entity calls act on the current project (PrjSelect).
class KivEngine {
public:
    virtual ~KivEngine() = default;

    // Session. AdamInit takes the repository for this process; it fails while another process
    // holds it. `created` is 1 when this call made a new repository (with one project), else 0.
    virtual uint32_t AdamInit(uint32_t reserved, uint32_t* created) = 0;
    virtual uint32_t AdamExit() = 0;
    virtual uint32_t AdamGetVersion(char* buffer, size_t capacity) = 0;
    virtual uint32_t AdamQueryCurrentPrjName(char* buffer, size_t capacity) = 0;

    // Catalogue of projects, walked through an enumeration handle.
    virtual uint32_t PrjCatCreateEnum(uint32_t reserved1, uint32_t reserved2, uint32_t* handle) = 0;
    virtual uint32_t PrjGetFirst(uint32_t handle, char* buffer, size_t capacity) = 0;
    virtual uint32_t PrjGetNext(uint32_t handle, char* buffer, size_t capacity) = 0;
    virtual uint32_t PrjCatDestroyEnum(uint32_t handle) = 0;

    // Projects, addressed by name without regard to case. PrjCreate makes the directory when it
    // is missing and keeps the project's data in it; a directory that already holds a project's
    // data brings that project back (after PrjRemove). PrjDelete removes the project and its
    // data, PrjRemove only takes it out of the catalogue; neither works on the current project.
    virtual uint32_t PrjSelect(const char* name) = 0;
    virtual uint32_t PrjCreate(const char* name, const char* directory, uint32_t reserved) = 0;
    virtual uint32_t PrjDelete(const char* name, uint32_t reserved) = 0;
    virtual uint32_t PrjRemove(const char* name, uint32_t reserved) = 0;
    virtual uint32_t PrjQueryDir(const char* name, char* buffer, size_t capacity, uint32_t reserved) = 0;
    virtual uint32_t PrjQueryDescription(const char* name, char* buffer, size_t capacity,
                                         uint32_t reserved) = 0;
    virtual uint32_t PrjQueryKeywords(const char* name, char* buffer, size_t capacity, uint32_t reserved) = 0;
    virtual uint32_t PrjSetKeywords(const char* name, const char* keywords, uint32_t reserved) = 0;
    virtual uint32_t PrjQueryLock(const char* name, uint32_t* locked, uint32_t reserved) = 0;

    // Applications of the current project. Names are matched without regard to case.
    virtual uint32_t AdamGetFirstApp(uint16_t* appId) = 0;
    virtual uint32_t AdamGetNextApp(uint16_t* appId) = 0;
    virtual uint32_t AppFind(const char* name, uint16_t* appId) = 0;
    virtual uint32_t AppCreate(const char* name, uint16_t* appId) = 0;
    virtual uint32_t AppDeleteAID(uint16_t appId) = 0;
    virtual uint32_t AppQueryName(uint16_t appId, char* buffer, size_t capacity) = 0;
    virtual uint32_t AppQueryExeName(uint16_t appId, char* buffer, size_t capacity) = 0;
    virtual uint32_t AppQueryExpName(uint16_t appId, char* buffer, size_t capacity) = 0;
    virtual uint32_t AppQueryGroupName(uint16_t appId, char* buffer, size_t capacity) = 0;
    virtual uint32_t AppSetExeName(uint16_t appId, const char* text) = 0;
    virtual uint32_t AppSetExpName(uint16_t appId, const char* text) = 0;
    virtual uint32_t AppSetGroupName(uint16_t appId, const char* text) = 0;
    virtual uint32_t AppSetDescription(uint16_t appId, const char* text) = 0;
    // The description as a record (its bytes without a NUL) and its length.
    virtual uint32_t AppQueryDescription(uint16_t appId, KivRecordHandle* record, uint32_t* length) = 0;
    virtual uint32_t AppQueryDebug(uint16_t appId, uint32_t* debug) = 0;
    virtual uint32_t AppSetDebug(uint16_t appId, uint32_t debug, uint32_t reserved) = 0;
    virtual uint32_t AppQueryLib(uint16_t appId, uint32_t* isLibrary, uint32_t* isDll) = 0;
    virtual uint32_t AppQuerySysLib(uint16_t appId, uint32_t* isSystemLibrary) = 0;
    virtual uint32_t AppQueryCreateTime(uint16_t appId, uint32_t* time) = 0;
    virtual uint32_t AppQueryTime(uint16_t appId, uint32_t* time) = 0;
    virtual uint32_t AppQueryNumModules(uint16_t appId, uint32_t* count) = 0;
    virtual uint32_t AppGetFirstModule(uint16_t appId, uint32_t* modId) = 0;
    virtual uint32_t AppGetNextModule(uint32_t* modId) = 0;
    // Every change is on disk when its call returns; this also folds the write-ahead log into
    // the project's database.
    virtual uint32_t AdamSecurePath(uint16_t appId) = 0;

    // The three ordered lists of an application. The search path names other applications of
    // the project; an entry whose application is not in the project (yet) is kept, exported,
    // and left out of the walk. Positions count from 0; a position past the end moves the
    // entry to the end.
    virtual uint32_t AppSPathGetFirst(uint16_t appId, uint16_t* libId) = 0;
    virtual uint32_t AppSPathGetNext(uint16_t* libId) = 0;
    virtual uint32_t AppAddSPath(uint16_t appId, uint16_t libId) = 0;
    virtual uint32_t AppDelSPath(uint16_t appId, uint16_t libId) = 0;
    virtual uint32_t AppMoveSPath(uint16_t appId, uint16_t libId, uint32_t position) = 0;
    virtual uint32_t AppUDCGetFirst(uint16_t appId, char* buffer, size_t capacity) = 0;
    virtual uint32_t AppUDCGetNext(char* buffer, size_t capacity) = 0;
    virtual uint32_t AppAddUDC(uint16_t appId, const char* name) = 0;
    virtual uint32_t AppDelUDC(uint16_t appId, const char* name) = 0;
    virtual uint32_t AppMoveUDC(uint16_t appId, const char* name, uint32_t position) = 0;
    virtual uint32_t AppCHGetFirst(uint16_t appId, char* buffer, size_t capacity) = 0;
    virtual uint32_t AppCHGetNext(char* buffer, size_t capacity) = 0;
    virtual uint32_t AppAddCH(uint16_t appId, const char* name) = 0;
    virtual uint32_t AppDelCH(uint16_t appId, const char* name) = 0;
    virtual uint32_t AppMoveCH(uint16_t appId, const char* name, uint32_t position) = 0;

    // Modules. Names are matched without regard to case and are unique in an application.
    virtual uint32_t ModFind(uint16_t appId, const char* name, uint32_t* modId) = 0;
    virtual uint32_t ModCreate(uint16_t appId, const char* name, uint32_t* modId) = 0;
    // Removes the module with its entities; `flag` is accepted for compatibility and not used.
    virtual uint32_t ModDelete(uint32_t modId, uint32_t flag) = 0;
    virtual uint32_t ModQueryName(uint32_t modId, char* buffer, size_t capacity) = 0;
    virtual uint32_t ModQueryExtern(uint32_t modId, char* buffer, size_t capacity) = 0;
    virtual uint32_t ModQueryExpName(uint32_t modId, char* buffer, size_t capacity) = 0;
    virtual uint32_t ModSetExpName(uint32_t modId, const char* path) = 0;
    // Binds the module to a PRG file and reads the file's entities into the module, in place of
    // the ones it had (as a build does); `changed` is 1 when the module's entities or binding
    // changed, else 0. A null file unbinds the module and keeps its entities. An empty text
    // is refused: it names no file.
    virtual uint32_t ModSetExtern(uint32_t modId, const char* file, uint32_t* changed) = 0;
    virtual uint32_t ModQueryDebug(uint32_t modId, uint32_t* debug) = 0;
    virtual uint32_t ModSetDebug(uint32_t modId, uint16_t debug, uint32_t reserved) = 0;
    virtual uint32_t ModQueryOEM(uint32_t modId, uint32_t* oem) = 0;
    virtual uint32_t ModQueryAppearance(uint32_t modId, uint32_t* visible) = 0;
    virtual uint32_t ModSetOEM(uint32_t modId, uint32_t oem) = 0;
    virtual uint32_t ModQueryCreateTime(uint32_t modId, uint32_t* time) = 0;
    virtual uint32_t ModQueryTime(uint32_t modId, uint32_t* time) = 0;
    virtual uint32_t ModQueryNumEntities(uint32_t modId, uint32_t* count) = 0;
    virtual uint32_t ModGetFirstEntity(uint32_t modId, uint32_t* entId) = 0;
    virtual uint32_t ModGetNextEntity(uint32_t* entId) = 0;

    // Entities. Names are upper-case symbols (CLASSNAME:METHODNAME, CLASSNAME:PROP:ACCESS, or the
    // plain name). EntFind matches the name and the type number; type 0 matches any type.
    virtual uint32_t EntFind(uint32_t modId, KivSymbol name, uint32_t type, uint32_t* entId) = 0;
    virtual uint32_t EntQueryName(uint32_t entId, KivSymbol* name) = 0;
    // EntQueryName's text without making a symbol of it: symbols live as long as the process, and
    // a walk over many entities would keep every name it met.
    virtual uint32_t EntQueryNameText(uint32_t entId, char* buffer, size_t capacity) = 0;
    virtual uint32_t EntQueryType(uint32_t entId, uint32_t* type) = 0;
    virtual uint32_t EntQueryBlockType(uint32_t entId, uint32_t* blockType) = 0;
    virtual uint32_t EntQueryAppearance(uint32_t entId, uint32_t* visible) = 0;
    virtual uint32_t EntQueryModule(uint32_t entId, uint32_t* modId) = 0;
    virtual uint32_t EntQueryCreateTime(uint32_t entId, uint32_t* time) = 0;
    virtual uint32_t EntQueryTime(uint32_t entId, uint32_t* time) = 0;
    virtual uint32_t EntQueryProt(uint32_t entId, char* buffer, size_t capacity) = 0;
    // kind 7: the entity's source as stored (CR LF lines, then one or more NUL bytes); kind 4: its
    // custom data (the designer's binary). `present` is 1 when the entity holds such data, and
    // `reserved` is always 0. Other kinds are refused.
    virtual uint32_t EntQueryData(uint32_t entId, uint32_t kind, KivRecordHandle* record, uint32_t* length,
                                  uint32_t* present, uint32_t* reserved) = 0;
    // The first `length` bytes of a record (all of them when it holds fewer).
    virtual uint32_t RecGet(KivRecordHandle record, uint32_t length, std::string* bytes) = 0;

    // Transfers. Files are DOS paths (a host path in POSIX form is taken too).
    // AdamExportApp form 0 writes the application as an AEF; form 1 writes its DLL form: the AEF
    // another application imports to call this one built as a DLL (see KivExportWriter.h).
    // `modules` is the number of modules written.
    virtual uint32_t AdamExportApp(const char* file, uint16_t appId, uint32_t form, uint32_t* modules) = 0;
    // Writes the module as a MEF; `entities` is the number of entities written.
    virtual uint32_t AdamExportMod(const char* file, uint32_t modId, uint32_t reserved,
                                   uint32_t* entities) = 0;
    // Reads an AEF into the current project as the application `appName` (the file's own name
    // when empty). replace = 1 drops an application of that name first; 0 merges into it: the
    // file's modules are added, each replacing a module of the same name, and the application's
    // own properties stay. `appId` is the application's ID, `modules` the number of modules read.
    // `reserved` is not used. A damaged or foreign file changes nothing.
    virtual uint32_t AdamImportApp(const char* file, const char* appName, uint32_t replace, uint32_t reserved,
                                   uint32_t* appId, uint32_t* modules) = 0;
    // Reads one module into an application from a MEF or a PRG file (told apart by the MEF
    // header). `moduleName` names the new module; when empty it is the MEF's module name or the
    // PRG file's name without folder and extension, and a text holding a folder separator is
    // taken as a path whose file name (without extension) names the module. replace = 1
    // replaces a module of that name, 0 refuses when one exists. bind = 1 binds a module read
    // from a PRG file to that file, as ModSetExtern does. `entities` is the number of entities
    // read.
    virtual uint32_t AdamImportMod(const char* file, const char* moduleName, uint16_t appId,
                                   uint32_t* entities, uint32_t replace, uint32_t bind, uint32_t* modId) = 0;

    // Settings the operations above read but do not write: a real repository has them from the
    // IDE (its system libraries, DLLs, locked projects, what it hides). The demo repository and
    // tests set them here.
    virtual uint32_t PrjSetDescription(const char* name, const char* description) = 0;
    virtual uint32_t PrjSetLock(const char* name, uint32_t locked) = 0;
    virtual uint32_t AppSetLib(uint16_t appId, uint32_t isLibrary, uint32_t isDll) = 0;
    virtual uint32_t AppSetSysLib(uint16_t appId, uint32_t isSystemLibrary) = 0;
    // Whether the IDE shows a module or an entity (1) or hides it (0).
    virtual uint32_t ModSetAppearance(uint32_t modId, uint32_t visible) = 0;
    virtual uint32_t EntSetAppearance(uint32_t entId, uint32_t visible) = 0;
};
