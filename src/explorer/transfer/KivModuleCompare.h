#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <memory>
#include <string>
#include <vector>

class KivApplicationAbstract;
class KivEntityAbstract;
class KivModuleAbstract;
class KivProgress;
class KivVOApplication;
class KivVOModule;

// One side of a comparison: the modules of an application (repository or AEF) or one module
// (repository, MEF or PRG), with the object that keeps them readable.
struct KivCompareSide {
    // What the person named: a file path or a repository address.
    std::string label;
    std::shared_ptr<KivApplicationAbstract> application;
    std::vector<std::shared_ptr<KivModuleAbstract>> modules;
    // A single module rather than an application.
    bool single = false;

    static KivCompareSide Of(std::shared_ptr<KivApplicationAbstract> application, std::string label);
    static KivCompareSide Of(std::shared_ptr<KivModuleAbstract> module, std::string label);
    // An AEF, MEF or PRG file (told apart by its first record). Empty `error` on success;
    // otherwise why the file cannot be compared: it cannot be read, is no valid export file, or
    // is damaged (a comparison of what was read before the damage would report false removals).
    static KivCompareSide OfFile(const std::string& dosPath, std::string& error);
    // A repository application or module as the engine exports it, read back from a temporary
    // file: both sides are then seen as the readers see them, and reading one side does not
    // depend on which project is current when the other is read.
    static KivCompareSide OfRepository(KivVOApplication& application, std::string label, std::string& error);
    static KivCompareSide OfRepository(KivVOModule& module, std::string label, std::string& error);
};

enum class KivChange { Added, Removed, Changed };

// "added", "removed", "changed".
const char* KivChangeName(KivChange change);

struct KivEntityChange {
    KivChange change = KivChange::Changed;
    std::string name;
    bool prototype = false;
    bool source = false;
    // Null on the side that does not have the entity.
    std::shared_ptr<KivEntityAbstract> before;
    std::shared_ptr<KivEntityAbstract> after;
};

struct KivModuleChange {
    KivChange change = KivChange::Changed;
    // The new side's name (the old side's for a removed module); `oldName` differs from it only
    // when two single modules of different names are compared.
    std::string name;
    std::string oldName;
    // The entities of an added or removed module; the changed ones of a changed module.
    size_t entityCount = 0;
    std::vector<KivEntityChange> entities;
};

// Compares two sides module by module and entity by entity. Modules are matched by name without
// regard to case; two single modules are compared with each other whatever their names, and a
// single module against an application with the application's module of its name. Entities are
// matched by name without regard to case (an access or assign read from PRG source gets the
// ":ACCESS" or ":ASSIGN" the repository and export files give it); entities without a prototype
// (designer data) are not compared, as the readers do not list them. A prototype counts as
// changed when its normalised words differ, a source when its text differs apart from line ends
// at its end. Modules and entities come out in name order.
class KivModuleCompare {
public:
    // Bar 0 follows the modules. Cancelled leaves the changes found so far.
    KivTransferResult Run(const KivCompareSide& before, const KivCompareSide& after, KivProgress& progress);

    const std::vector<KivModuleChange>& Modules() const { return m_modules; }
    bool Same() const { return m_modules.empty(); }

private:
    std::vector<KivModuleChange> m_modules;
};

// The source without the line ends and NUL bytes at its end, as it is compared.
std::string KivComparedSource(const KivEntityAbstract& entity);
