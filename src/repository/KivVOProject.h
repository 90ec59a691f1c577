#pragma once

#include "exportfiles/KivIDEBaseObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class KivVOApplication;

// One project of the repository, known by its name alone; every property is read from the
// engine anew. The engine's application calls act on the current project, so each application
// operation first makes this project the current one.
class KivVOProject : public KivIDEBaseObject, public std::enable_shared_from_this<KivVOProject> {
public:
    // The engine's current project.
    KivVOProject();
    explicit KivVOProject(std::string name);
    KivVOProject(const KivVOProject&) = default;
    KivVOProject& operator=(const KivVOProject&) = default;

    // Null when the project has no such application (the engine decides how names match).
    virtual std::shared_ptr<KivVOApplication> ApplicationFind(const std::string& name);
    // Sorted ascending by name.
    virtual std::vector<std::shared_ptr<KivVOApplication>> ApplicationList();
    virtual std::vector<std::string> ApplicationNameList();
    virtual std::string Description() const;
    virtual std::string Dir() const;
    virtual std::shared_ptr<KivVOApplication> FirstApplication();
    virtual std::string FirstApplicationName();
    // True when this project is the engine's current one (names compared exactly).
    virtual bool Selected() const;
    // True makes this project current; false makes the project that was current when the
    // program started current again.
    virtual bool Selected(bool select);
    virtual std::string Keywords() const;
    virtual std::string Keywords(const std::string& keywords);
    virtual bool Locked() const;
    virtual std::shared_ptr<KivVOApplication> NextApplication();
    virtual std::string NextApplicationName();
    virtual std::shared_ptr<KivVOApplication> ApplicationCreate(const std::string& name);
    virtual bool ApplicationNameDelete(const std::string& name);
    virtual bool ApplicationDelete(const std::shared_ptr<KivVOApplication>& application);
    // replace 1 drops an application of that name first, 0 merges the file into it.
    virtual bool ImportApplication(const std::string& applicationName, const std::string& aefFile,
                                   uint32_t replace, uint32_t reserved);
    // False when the project has no such application.
    virtual bool ExportApplication(const std::string& applicationName, const std::string& fileName);
    virtual void _CheckActive();

private:
    // This project as an owner for the applications it makes: itself when it is shared,
    // otherwise a copy.
    std::shared_ptr<KivVOProject> Self();
    std::shared_ptr<KivVOApplication> Application(uint16_t appId);
    std::string ApplicationName(uint16_t appId);
};
