#pragma once

#include "exportfiles/KivEntityAbstract.h"
#include "exportfiles/KivModuleAbstract.h"

#include <cstdlib>

// Reads every property of a module and of each of its entities, so that any of them reading out
// of bounds is seen; the results are checked for what must hold on any input.
inline void KivFuzzWalkModule(KivModuleAbstract& module) {
    module.Name();
    module.Success();
    module.ErrorString();
    module.CreateDate();
    module.CreateTime();
    module.LastBuildDate();
    module.LastBuildTime();
    module.ExternalFile();
    module.ExternalSource();
    module.IsExternal();
    module.IsValid();
    module.FullPath();
    const auto entities = module.EntityList();
    if (module.EntityCount() != entities.size() || module.EntityNameList().size() != entities.size())
        std::abort();
    for (const auto& entity : entities) {
        entity->Name();
        entity->Info();
        entity->Prototype();
        entity->VOPrototype();
        entity->Source();
        entity->Type();
        entity->Visibility();
        entity->CreateDate();
        entity->CreateTime();
        entity->LastBuildDate();
        entity->LastBuildTime();
    }
    module.SortByName();
    if (!entities.empty() && module.EntityFind(entities.back()->Name()) == nullptr)
        std::abort();
}
