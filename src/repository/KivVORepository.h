#pragma once

#include "exportfiles/KivIDEBaseObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class KivVOProject;

// The repository: opens the engine, walks the catalogue of projects, and creates, finds, deletes
// and removes projects. One instance per process owns the engine: it initialises it, is
// registered process-wide (KivGetRepoObject), and when it is destroyed, or the process exits,
// it makes the project that was current at its start current again and closes the engine.
// Instances that do not own the engine only read it.
class KivVORepository : public KivIDEBaseObject {
    struct Key {
        explicit Key() = default;
    };

public:
    // A repository object. When one is registered process-wide already, ownsEngine is taken as
    // false. An owning instance whose start succeeded is registered.
    static std::shared_ptr<KivVORepository> Create(bool ownsEngine = true);

    KivVORepository(Key, bool ownsEngine);
    ~KivVORepository() override;
    KivVORepository(const KivVORepository&) = delete;
    KivVORepository& operator=(const KivVORepository&) = delete;

    virtual uint32_t _CatCreateEnum();
    virtual void _CatDestroyEnum();
    virtual std::shared_ptr<KivVOProject> CurrentProject() const;
    virtual std::shared_ptr<KivVOProject> CurrentProject(std::shared_ptr<KivVOProject> project);
    virtual std::string CurrentProjectName() const;
    // Makes the project current; the empty text when that fails, else the name.
    virtual std::string CurrentProjectName(const std::string& name);
    virtual void Destroy();
    virtual bool Enumerating() const;
    virtual uint32_t Enumerator();
    virtual std::shared_ptr<KivVOProject> FirstProject();
    virtual std::string FirstProjectName();
    virtual std::shared_ptr<KivVOProject> NextProject();
    virtual std::string NextProjectName();
    // Sorted ascending.
    virtual std::vector<std::string> ProjectNameList();
    virtual std::vector<std::shared_ptr<KivVOProject>> ProjectList();
    virtual std::string Version() const;
    virtual std::string DefaultProjectName() const;
    // Null when no project has that name (letter case aside).
    virtual std::shared_ptr<KivVOProject> ProjectFind(const std::string& name);
    virtual std::shared_ptr<KivVOProject> ProjectCreate(const std::string& name,
                                                        const std::string& directory);
    virtual bool ProjectDelete(const std::shared_ptr<KivVOProject>& project);
    virtual bool ProjectNameDelete(const std::string& name);
    virtual bool ProjectRemove(const std::shared_ptr<KivVOProject>& project);
    virtual bool ProjectNameRemove(const std::string& name);

    // The project Destroy makes current again. Changing it lets a tool that exists to select a
    // project (kivrepo select-project) keep its choice past the end of the run.
    void DefaultProjectName(const std::string& name);

    bool OwnsEngine() const { return m_ownsEngine; }

private:
    uint32_t m_catalogueHandle = 0;
    bool m_ownsEngine = false;
    std::string m_defaultProjectName;
    // AdamExit belongs only to the instance whose AdamInit succeeded.
    bool m_engineOpen = false;
    bool m_destroyed = false;
};

// The process-wide engine-owning repository object, or null.
std::shared_ptr<KivVORepository> KivGetRepoObject();

// Registers the repository object process-wide and, the first time, the process-exit handler
// that frees it.
void KivRegisterRepoObject(std::shared_ptr<KivVORepository> repository);
// Destroys the registered repository object (Destroy) and clears the reference.
void KivFreeRepoObject();
