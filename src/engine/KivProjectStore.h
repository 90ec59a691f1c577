#pragma once

#include "engine/KivExportImage.h"
#include "engine/KivSqliteDb.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

enum class KivAppField { ExeName, ExpName, GroupName, Description, Debug, Library, Dll, SystemLibrary };
enum class KivListKind { Libraries, Udcs, Chs };

// The record tag that heads each entry of a list of that kind.
uint16_t KivListHead(KivListKind kind);
enum class KivModuleField { ExpName, Debug, Oem, Appearance };

// The database of one project, kept in the project's directory: its applications, modules and
// entities, with the layouts of the files they came from. Every method returns an engine status;
// transactions are the caller's. Names of applications and modules are matched without regard
// to case; entity names are kept in upper case.
class KivProjectStore {
public:
    // The file the project's data lives in, inside its directory.
    static std::filesystem::path DatabaseFile(const std::filesystem::path& dir);

    // Opens the project's database; `create` makes a new one when there is none. A file that is
    // not a project database is refused (kBadFile).
    uint32_t Open(const std::filesystem::path& dir, bool create);
    void Close() { m_db.Close(); }
    bool IsOpen() const { return m_db.IsOpen(); }
    KivSqliteDb& Db() { return m_db; }

    // Applications
    uint32_t AppIds(std::vector<uint16_t>& ids);
    uint32_t FindApp(std::string_view name, uint16_t& id);
    uint32_t CreateApp(std::string_view name, uint32_t now, uint16_t& id);
    uint32_t DeleteApp(uint16_t id);
    // The application's properties (no layout, lists or modules).
    uint32_t LoadApp(uint16_t id, KivApplicationImage& app);
    uint32_t SetAppText(uint16_t id, KivAppField field, std::string_view value);
    uint32_t SetAppNumber(uint16_t id, KivAppField field, uint32_t value);
    uint32_t LoadList(uint16_t id, KivListKind kind, std::vector<KivListEntry>& entries);
    uint32_t SaveList(uint16_t id, KivListKind kind, const std::vector<KivListEntry>& entries);
    uint32_t ModuleIds(uint16_t app, std::vector<uint32_t>& ids);
    uint32_t CountModules(uint16_t app, uint32_t& count);

    // Modules
    uint32_t FindModule(uint16_t app, std::string_view name, uint32_t& id);
    uint32_t CreateModule(uint16_t app, std::string_view name, uint32_t now, uint32_t& id);
    uint32_t DeleteModule(uint32_t id);
    // The module's properties and its application (no layout, source or entities).
    uint32_t LoadModule(uint32_t id, KivModuleImage& module, uint16_t& app);
    uint32_t SetModuleText(uint32_t id, KivModuleField field, std::string_view value);
    uint32_t SetModuleNumber(uint32_t id, KivModuleField field, uint32_t value);
    uint32_t SetExtern(uint32_t id, std::string_view file, std::string_view source, uint32_t built);
    uint32_t ExternSource(uint32_t id, std::string& source);
    uint32_t CountEntities(uint32_t module, uint32_t& count);
    // Creation times of the module's entities by name and type ("NAME" + '\0' + type).
    uint32_t EntityCreationTimes(uint32_t module, std::map<std::string, uint32_t>& times);
    // Drops the module's entities and stores these in their place.
    uint32_t ReplaceEntities(uint32_t module, const std::vector<KivEntityImage>& entities);

    // Entities
    uint32_t FindEntity(uint32_t module, std::string_view upperName, uint32_t type, uint32_t& id);
    // The entity's values (without its layout) and its module.
    uint32_t LoadEntity(uint32_t id, KivEntityImage& entity, uint32_t& module);
    // The values of the module's entities in their order, with their IDs, but without their
    // source, designer binary and layout: what a walk of the module reads of each. With
    // `sources`, their sources too, in the same order.
    uint32_t LoadEntityValues(uint32_t module, std::vector<std::pair<uint32_t, KivEntityImage>>& entities,
                              std::vector<std::string>* sources = nullptr);
    // The entity's source (kind 7) or designer binary (kind 4).
    uint32_t LoadEntityData(uint32_t id, uint32_t kind, std::string& bytes);
    // The sources of the module's entities, with their IDs, in one statement.
    uint32_t LoadEntitySources(uint32_t module, std::vector<std::pair<uint32_t, std::string>>& sources);
    uint32_t SetEntityAppearance(uint32_t id, uint32_t visible);

    // Whole images: a new application or module with what it holds.
    uint32_t InsertApplication(const KivApplicationImage& app, uint16_t& id);
    // The module goes at `seq` in its application's order; a negative seq puts it last.
    uint32_t InsertModule(uint16_t app, int64_t seq, const KivModuleImage& module, uint32_t& id);
    uint32_t ModuleSeq(uint32_t id, int64_t& seq);

    // Piece by piece, so that a transfer holds one entity at a time.
    // The application's row alone (no modules).
    uint32_t InsertApplicationRow(const KivApplicationImage& app, uint16_t& id);
    // The module's row alone (no entities), at `seq` as InsertModule.
    uint32_t InsertModuleRow(uint16_t app, int64_t seq, const KivModuleImage& module, uint32_t& id);
    // One entity, at `seq` in its module's order.
    uint32_t InsertEntity(uint32_t module, int64_t seq, const KivEntityView& entity);
    // The module's values read after its entities: export name, external file and source, times,
    // and the layout of its tail.
    uint32_t FinishModule(uint32_t id, const KivModuleImage& module);
    // The images without modules, and without entities.
    uint32_t LoadApplicationPart(uint16_t id, KivApplicationImage& app);
    uint32_t LoadModulePart(uint32_t id, KivModuleImage& module);
    // Each entity of the module in its order, whole, one at a time; a non-zero status from
    // `each` ends the walk with it. The view handed over is only valid during the call.
    uint32_t EachEntity(uint32_t module, const std::function<uint32_t(const KivEntityView&)>& each);

private:
    uint32_t Fail() const { return m_db.FailureStatus(); }
    uint32_t InsertEntities(uint32_t module, const std::vector<KivEntityImage>& entities);

    KivSqliteDb m_db;
};
