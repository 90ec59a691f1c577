#pragma once

#include "exportfiles/KivApplicationAbstract.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class KivVOModule;
class KivVOProject;

// One application of a repository project, addressed by its engine ID; every property is read
// from the engine anew. Module and list calls act on the engine's current project, which is
// the owner's as long as nothing else selects another.
class KivVOApplication : public KivApplicationAbstract,
                         public std::enable_shared_from_this<KivVOApplication> {
public:
    // Owned by the engine's current project.
    KivVOApplication() : KivVOApplication(uint16_t{0}) {}
    explicit KivVOApplication(uint16_t id);
    // Owned by a new project object of that name, which is made current.
    KivVOApplication(const std::string& projectName, uint16_t id);
    // Owned by the project (the engine's current project when null).
    KivVOApplication(std::shared_ptr<KivVOProject> owner, uint16_t id);
    KivVOApplication(const KivVOApplication&) = default;
    KivVOApplication& operator=(const KivVOApplication&) = default;

    bool ExportModule(const std::string& moduleName, const std::string& fileName) override;
    std::shared_ptr<KivModuleAbstract> ModuleFind(const std::string& moduleName) override;
    KivDate CreateDate() const override;
    std::string CreateTime() const override;
    bool IsValid() const override;
    KivDate LastBuildDate() const override;
    std::string LastBuildTime() const override;
    // Sorted ascending by name.
    std::vector<std::shared_ptr<KivModuleAbstract>> ModuleList() const override;
    std::vector<std::string> ModuleNameList() const override;
    uint32_t ModuleCount() const override;
    std::string FullPath() const override;
    std::string FullPath(const std::string& path) override;
    std::string ExeName() const override;
    std::vector<std::string> LibraryNameList() const override;
    std::vector<std::string> UDCNameList() const override;
    std::string Description() const override;
    bool IsDLL() const override;
    bool IsLibrary() const override;
    virtual uint32_t CreateUnixTime() const;
    virtual std::shared_ptr<KivVOModule> FirstModule() const;
    virtual std::string FirstModuleName() const;
    virtual uint16_t ID() const;
    virtual bool IsSystemLibrary() const;
    virtual uint32_t LastBuildUnixTime() const;
    virtual std::shared_ptr<KivVOModule> NextModule() const;
    virtual std::string NextModuleName() const;
    virtual std::shared_ptr<KivVOProject> Owner() const;
    virtual std::string ExeName(const std::string& name);
    virtual std::string GroupName() const;
    virtual std::string GroupName(const std::string& name);
    virtual bool Debug() const;
    virtual bool Debug(bool debug);
    virtual std::string Description(const std::string& description);
    // The search path walks; their objects belong to the engine's current project.
    virtual std::shared_ptr<KivVOApplication> FirstLibrary() const;
    virtual std::shared_ptr<KivVOApplication> NextLibrary() const;
    virtual std::string FirstLibraryName() const;
    virtual std::string NextLibraryName() const;
    virtual std::vector<std::shared_ptr<KivVOApplication>> LibraryList() const;
    // Rewrites the search path to hold these applications in this order; entries are matched as
    // objects, not by ID.
    virtual std::vector<std::shared_ptr<KivVOApplication>>
    LibraryList(const std::vector<std::shared_ptr<KivVOApplication>>& libraries);
    // Rewrites the search path to name these applications in this order; a name the owner
    // project does not find is left out.
    virtual std::vector<std::string> LibraryNameList(const std::vector<std::string>& names);
    virtual std::string FirstUDCName() const;
    virtual std::string NextUDCName() const;
    virtual std::vector<std::string> UDCNameList(const std::vector<std::string>& names);
    virtual std::string FirstCHName() const;
    virtual std::string NextCHName() const;
    virtual std::vector<std::string> CHNameList() const;
    virtual std::vector<std::string> CHNameList(const std::vector<std::string>& names);
    virtual std::shared_ptr<KivVOModule> ModuleCreate(const std::string& name);
    virtual bool ExportToAEF(const std::string& fileName);
    // Reads a MEF or PRG file into the application as the module moduleName (see
    // KivEngine::AdamImportMod); null when that fails or yields no module.
    virtual std::shared_ptr<KivVOModule>
    ImportModule(const std::string& fileName, const std::string& moduleName, uint32_t replace, uint32_t bind);
    virtual bool ModuleDelete(const std::shared_ptr<KivVOModule>& module);
    virtual bool ModuleNameDelete(const std::string& name);
    virtual bool Flush();
    virtual bool ExportToAEF_DLL(const std::string& fileName);

private:
    std::shared_ptr<KivVOApplication> Self() const;
    std::shared_ptr<KivVOModule> Module(uint32_t modId) const;
    std::string ModuleName(uint32_t modId) const;
    std::string LibraryName(uint16_t libId) const;
    void SetId(uint16_t id);

    std::shared_ptr<KivVOProject> m_owner;
    uint16_t m_id = 0;
};
