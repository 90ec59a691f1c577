#include "exportfiles/KivApplicationAbstract.h"

#include "exportfiles/KivModuleAbstract.h"

void KivApplicationAbstract::Close() {}

bool KivApplicationAbstract::ExportModule(const std::string&, const std::string&) {
    return false;
}

std::shared_ptr<KivModuleAbstract> KivApplicationAbstract::ModuleFind(const std::string&) {
    return nullptr;
}

void KivApplicationAbstract::Scan() {}

void KivApplicationAbstract::SortByName() {}

KivDate KivApplicationAbstract::CreateDate() const {
    return {};
}

std::string KivApplicationAbstract::CreateTime() const {
    return "00:00:00";
}

bool KivApplicationAbstract::IsValid() const {
    return false;
}

KivDate KivApplicationAbstract::LastBuildDate() const {
    return {};
}

std::string KivApplicationAbstract::LastBuildTime() const {
    return "00:00:00";
}

std::vector<std::shared_ptr<KivModuleAbstract>> KivApplicationAbstract::ModuleList() const {
    return {};
}

std::vector<std::string> KivApplicationAbstract::ModuleNameList() const {
    return {};
}

uint32_t KivApplicationAbstract::ModuleCount() const {
    return static_cast<uint32_t>(ModuleList().size());
}

std::string KivApplicationAbstract::FullPath() const {
    return std::string(KivNoReturnString);
}

std::string KivApplicationAbstract::FullPath(const std::string&) {
    return std::string(KivNoReturnString);
}

std::string KivApplicationAbstract::ExeName() const {
    return std::string(KivNoReturnString);
}

std::vector<std::string> KivApplicationAbstract::LibraryNameList() const {
    return {};
}

std::vector<std::string> KivApplicationAbstract::UDCNameList() const {
    return {};
}

std::string KivApplicationAbstract::Description() const {
    return std::string(KivNoReturnString);
}

bool KivApplicationAbstract::IsApplication() const {
    return !IsLibrary() && !IsDLL();
}

bool KivApplicationAbstract::IsDLL() const {
    return false;
}

bool KivApplicationAbstract::IsLibrary() const {
    return false;
}
