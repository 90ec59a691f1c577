#pragma once

#include "exportfiles/KivIDEBaseObject.h"
#include "support/KivDate.h"

#include <memory>
#include <string>
#include <vector>

class KivEntityAbstract;

// One module, whatever holds it (the repository, an AEF or MEF file, a PRG source). Every
// operation has a harmless default so a source overrides only what it can supply.
class KivModuleAbstract : public KivIDEBaseObject {
public:
    virtual void Close();
    virtual bool ExportModule(const std::string& fileName);
    virtual void Scan();
    virtual void SortByName();
    // Null when the module has no such entity.
    virtual std::shared_ptr<KivEntityAbstract> EntityFind(const std::string& entityName);
    virtual KivDate CreateDate() const;
    virtual std::string CreateTime() const;
    virtual std::vector<std::shared_ptr<KivEntityAbstract>> EntityList() const;
    // The names of the first EntityCount elements of EntityList, in list order.
    virtual std::vector<std::string> EntityNameList() const;
    virtual uint32_t EntityCount() const;
    // Path of the PRG file an external module is bound to.
    virtual std::string ExternalFile() const;
    virtual std::string ExternalSource() const;
    virtual bool IsExternal() const;
    virtual bool IsMEF() const;
    virtual bool IsPRG() const;
    virtual KivDate LastBuildDate() const;
    virtual std::string LastBuildTime() const;
    virtual bool IsValid() const;
    virtual std::string FullPath() const;
    // Keeps the path for a derived reader to show and returns it.
    virtual std::string FullPath(const std::string& path);

protected:
    using KivIDEBaseObject::KivIDEBaseObject;

    // Sorts by Name, ascending by byte value, keeping entities of equal names in their order.
    static void SortEntitiesByName(std::vector<std::shared_ptr<KivEntityAbstract>>& entities);

    std::string m_fullPath;
};
