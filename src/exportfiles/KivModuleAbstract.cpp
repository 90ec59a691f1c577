#include "exportfiles/KivModuleAbstract.h"

#include "exportfiles/KivEntityAbstract.h"

#include <algorithm>

void KivModuleAbstract::Close() {}

bool KivModuleAbstract::ExportModule(const std::string&) {
    return false;
}

void KivModuleAbstract::Scan() {}

void KivModuleAbstract::SortByName() {}

std::shared_ptr<KivEntityAbstract> KivModuleAbstract::EntityFind(const std::string&) {
    return nullptr;
}

KivDate KivModuleAbstract::CreateDate() const {
    return {};
}

std::string KivModuleAbstract::CreateTime() const {
    return "00:00:00";
}

std::vector<std::shared_ptr<KivEntityAbstract>> KivModuleAbstract::EntityList() const {
    return {};
}

std::vector<std::string> KivModuleAbstract::EntityNameList() const {
    const auto entities = EntityList();
    // A derived class may count differently from its list; never read past the list.
    const size_t count = std::min<size_t>(EntityCount(), entities.size());
    std::vector<std::string> names;
    names.reserve(count);
    for (size_t i = 0; i < count; ++i)
        names.push_back(entities[i] ? entities[i]->Name() : std::string());
    return names;
}

uint32_t KivModuleAbstract::EntityCount() const {
    return static_cast<uint32_t>(EntityList().size());
}

std::string KivModuleAbstract::ExternalFile() const {
    return std::string(KivNoReturnString);
}

std::string KivModuleAbstract::ExternalSource() const {
    return std::string(KivNoReturnString);
}

bool KivModuleAbstract::IsExternal() const {
    return false;
}

bool KivModuleAbstract::IsMEF() const {
    return false;
}

bool KivModuleAbstract::IsPRG() const {
    return false;
}

KivDate KivModuleAbstract::LastBuildDate() const {
    return {};
}

std::string KivModuleAbstract::LastBuildTime() const {
    return "00:00:00";
}

bool KivModuleAbstract::IsValid() const {
    return IsMEF() || IsPRG();
}

std::string KivModuleAbstract::FullPath() const {
    return std::string(KivNoReturnString);
}

std::string KivModuleAbstract::FullPath(const std::string& path) {
    m_fullPath = path;
    return m_fullPath;
}

void KivModuleAbstract::SortEntitiesByName(std::vector<std::shared_ptr<KivEntityAbstract>>& entities) {
    KivSortByName(entities);
}
