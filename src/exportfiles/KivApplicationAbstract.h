#pragma once

#include "exportfiles/KivIDEBaseObject.h"
#include "support/KivDate.h"

#include <memory>
#include <string>
#include <vector>

class KivModuleAbstract;

// One application, whatever holds it (the repository, an AEF file). Every operation has a
// harmless default so a source overrides only what it can supply.
class KivApplicationAbstract : public KivIDEBaseObject {
public:
    virtual void Close();
    virtual bool ExportModule(const std::string& moduleName, const std::string& fileName);
    // Null when the application has no such module.
    virtual std::shared_ptr<KivModuleAbstract> ModuleFind(const std::string& moduleName);
    virtual void Scan();
    virtual void SortByName();
    virtual KivDate CreateDate() const;
    virtual std::string CreateTime() const;
    virtual bool IsValid() const;
    virtual KivDate LastBuildDate() const;
    virtual std::string LastBuildTime() const;
    virtual std::vector<std::shared_ptr<KivModuleAbstract>> ModuleList() const;
    virtual std::vector<std::string> ModuleNameList() const;
    virtual uint32_t ModuleCount() const;
    virtual std::string FullPath() const;
    // The abstract application keeps no path: the assignment is ignored.
    virtual std::string FullPath(const std::string& path);
    virtual std::string ExeName() const;
    virtual std::vector<std::string> LibraryNameList() const;
    virtual std::vector<std::string> UDCNameList() const;
    virtual std::string Description() const;
    virtual bool IsApplication() const;
    virtual bool IsDLL() const;
    virtual bool IsLibrary() const;

protected:
    using KivIDEBaseObject::KivIDEBaseObject;
};
