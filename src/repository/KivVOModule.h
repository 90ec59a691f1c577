#pragma once

#include "exportfiles/KivModuleAbstract.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class KivVOApplication;
class KivVOEntity;

// One module of a repository application, addressed by its engine ID; every property is read
// from the engine anew. The entity walk is the engine's: a Next call continues the walk most
// recently started by any module's FirstEntity or FirstEntityName.
class KivVOModule : public KivModuleAbstract, public std::enable_shared_from_this<KivVOModule> {
public:
    // Without an owner.
    explicit KivVOModule(uint32_t id = 0);
    // Owned by the application of that name in the engine's current project (null when there is
    // none).
    KivVOModule(const std::string& applicationName, uint32_t id);
    KivVOModule(std::shared_ptr<KivVOApplication> owner, uint32_t id);
    KivVOModule(const KivVOModule&) = default;
    KivVOModule& operator=(const KivVOModule&) = default;

    bool ExportModule(const std::string& fileName) override;
    // Any entity type.
    std::shared_ptr<KivEntityAbstract> EntityFind(const std::string& entityName) override;
    KivDate CreateDate() const override;
    std::string CreateTime() const override;
    // Sorted ascending by name.
    std::vector<std::shared_ptr<KivEntityAbstract>> EntityList() const override;
    std::vector<std::string> EntityNameList() const override;
    uint32_t EntityCount() const override;
    std::string ExternalFile() const override;
    // The source of every entity of EntityList, each followed by CR LF.
    std::string ExternalSource() const override;
    bool IsExternal() const override;
    KivDate LastBuildDate() const override;
    std::string LastBuildTime() const override;
    std::string FullPath() const override;
    std::string FullPath(const std::string& path) override;
    virtual uint32_t CreateUnixTime() const;
    virtual std::shared_ptr<KivVOEntity> FirstEntity() const;
    virtual std::string FirstEntityName() const;
    virtual uint32_t ID() const;
    virtual bool IsVisible() const;
    virtual uint32_t LastBuildUnixTime() const;
    virtual std::shared_ptr<KivVOEntity> NextEntity() const;
    virtual std::string NextEntityName() const;
    virtual std::shared_ptr<KivVOApplication> Owner() const;
    virtual std::string ExportName() const;
    virtual std::string ExportName(const std::string& path);
    // Binds the module to a PRG file (the engine reads the file's entities into it); an empty
    // name unbinds it. Changed tells whether the engine changed the module.
    virtual std::string ExternalFile(const std::string& fileName);
    virtual uint32_t DebugStatus() const;
    virtual uint32_t DebugStatus(uint32_t status);
    virtual uint32_t Changed() const;
    virtual bool OEM() const;
    virtual bool OEM(bool oem);

    // The entity of that name and engine entity type (0: any type); null when there is none.
    std::shared_ptr<KivVOEntity> EntityFind(const std::string& entityName, uint32_t type);

private:
    std::shared_ptr<KivVOModule> Self() const;
    std::shared_ptr<KivVOEntity> Entity(uint32_t entId) const;
    std::string EntityName(uint32_t entId) const;
    void SetId(uint32_t id);

    std::shared_ptr<KivVOApplication> m_owner;
    uint32_t m_id = 0;
    uint32_t m_changed = 0;
};
