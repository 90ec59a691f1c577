#include "explorer/transfer/KivKeaPlan.h"

#include "platform/KivDosPath.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "support/KivIniFile.h"
#include "support/KivPathUtil.h"
#include "support/KivStringUtil.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unordered_map>

namespace {

std::string Number3(size_t number) {
    char text[24];
    std::snprintf(text, sizeof text, "%03zu", number);
    return text;
}

// The file in DOS form with its real spelling when it exists (any letter case); else empty.
std::string FindFile(const std::string& dosPath) {
    auto host = kiv::dospath::Resolve(dosPath);
    std::error_code ec;
    if (!host || !std::filesystem::is_regular_file(*host, ec))
        return {};
    return kiv::dospath::FromHost(*host);
}

// The files of the .KEA's folder, found as FindFile finds them (the exact name, else the first
// name in sorted order that differs only in case), with the folder listed once: the PRG names
// the .KEA records end in ".Prg" and the files in ".prg", so each lookup would list it again.
class FolderFiles {
public:
    explicit FolderFiles(const std::string& dosFolder) {
        auto host = kiv::dospath::Resolve(dosFolder);
        if (dosFolder.empty() || !host)
            return;
        m_folder = *host;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(m_folder, ec), end; !ec && it != end; it.increment(ec)) {
            std::string name = it->path().filename().string();
            std::string& first = m_byLowerName[KivLower(kiv::dospath::DosName(name))];
            if (first.empty() || name < first)
                first = std::move(name);
        }
    }

    // The file in DOS form with its real spelling when it exists; else empty.
    std::string Find(const std::string& dosFolder, const std::string& name) const {
        if (m_folder.empty())
            return FindFile(KivConcatDir(dosFolder, name));
        std::error_code ec;
        std::filesystem::path host = m_folder / kiv::dospath::HostName(name);
        if (std::filesystem::symlink_status(host, ec).type() == std::filesystem::file_type::not_found || ec) {
            auto it = m_byLowerName.find(KivLower(name));
            if (it == m_byLowerName.end())
                return {};
            host = m_folder / it->second;
        }
        if (!std::filesystem::is_regular_file(host, ec))
            return {};
        return kiv::dospath::FromHost(host);
    }

private:
    std::filesystem::path m_folder;
    std::unordered_map<std::string, std::string> m_byLowerName;
};

// The last component of a path with "\", "/" or ":" as separators: an entry naming another
// folder, or climbing out of this one, still finds only a file beside the .KEA.
std::string LastComponent(const std::string& path) {
    const size_t cut = path.find_last_of("\\/:");
    std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    if (name == "." || name == "..")
        return {};
    return name;
}

std::vector<KivKeaItem> CheckFiles(const std::vector<std::string>& names, const char* prefix,
                                   const std::string& binFolder) {
    std::vector<KivKeaItem> items;
    for (size_t i = 0; i < names.size(); ++i) {
        KivKeaItem item;
        item.id = prefix + Number3(i + 1);
        item.label = names[i];
        const std::string& name = names[i];
        if (!KivAllTrim(name).empty())
            item.file = FindFile(KivExtractFilePath(name).empty() ? KivConcatDir(binFolder, name) : name);
        item.missing = item.file.empty();
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace

KivKeaPlan KivKeaPlan::Read(const std::string& keaFile, KivVOProject& project, const std::string& binFolder) {
    KivKeaPlan plan;
    plan.keaFile = keaFile;
    plan.keaFolder = KivExtractFilePath(keaFile);
    KivIniFile ini(keaFile);

    plan.cAppName = ini.GetString("APP", "Name", "");
    if (project.ApplicationFind(plan.cAppName)) {
        plan.appExists = true;
        plan.aExisting = project.ApplicationNameList();
    }
    plan.libraryNames = KivString2Array(ini.GetString("APP", "Libraries", ""), ",");
    plan.udcNames = KivString2Array(ini.GetString("APP", "UDC", ""), ",");
    plan.chNames = KivString2Array(ini.GetString("APP", "CH", ""), ",");

    const FolderFiles folderFiles(plan.keaFolder);
    for (const std::string& section : ini.GetSections()) {
        if (KivEqualsIgnoringCase(section, "APP"))
            continue;
        KivKeaItem item;
        item.id = section;
        item.label = ini.GetString(section, "Name", "");
        const std::string prg = LastComponent(ini.GetString(section, "PRG", ""));
        if (!item.label.empty() && !prg.empty())
            item.file = folderFiles.Find(plan.keaFolder, prg);
        item.missing = item.file.empty();
        plan.modules.push_back(std::move(item));
    }

    for (size_t i = 0; i < plan.libraryNames.size(); ++i) {
        KivKeaItem item;
        item.id = "Lib" + Number3(i + 1);
        item.label = plan.libraryNames[i];
        item.missing = !project.ApplicationFind(item.label);
        plan.libraries.push_back(std::move(item));
    }
    plan.udcs = CheckFiles(plan.udcNames, "UDC", binFolder);
    plan.chs = CheckFiles(plan.chNames, "CH", binFolder);
    return plan;
}

std::string KivKeaPlan::AppInfo() const {
    return appExists ? "Application already exist." : "Application is Ok.";
}

const std::vector<KivKeaItem>& KivKeaPlan::Items(Group group) const {
    static const std::vector<KivKeaItem> none;
    switch (group) {
    case Group::Modules:
        return modules;
    case Group::Libraries:
        return libraries;
    case Group::UDC:
        return udcs;
    case Group::CH:
        return chs;
    default:
        return none;
    }
}

KivKeaStatus KivKeaPlan::Status(Group group) const {
    if (group == Group::Application)
        return AppStatus();
    for (const KivKeaItem& item : Items(group))
        if (item.missing)
            return KivKeaStatus::Warning;
    return KivKeaStatus::Yes;
}

std::string KivKeaPlan::Info(Group group) const {
    const bool ok = Status(group) == KivKeaStatus::Yes;
    switch (group) {
    case Group::Application:
        return AppInfo();
    case Group::Modules:
        return ok ? "All Modules are Ok." : "At least one module is missing.";
    case Group::Libraries:
        return ok ? "All Libraries are Ok." : "At least one library is missing.";
    case Group::UDC:
        return ok ? "All UDCs are Ok." : "At least one UDC is missing.";
    case Group::CH:
        return ok ? "All CH are Ok." : "At least one CH is missing.";
    default:
        return {};
    }
}

KivKeaPlan::Group KivKeaPlan::SelectGroup() const {
    if (appExists)
        return Group::Application;
    for (Group group : {Group::Modules, Group::Libraries, Group::UDC, Group::CH})
        if (Status(group) != KivKeaStatus::Yes)
            return group;
    return Group::None;
}

size_t KivKeaPlan::SelectIndex() const {
    const auto& items = Items(SelectGroup());
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].missing)
            return i;
    return 0;
}

bool KivKeaPlan::Rename(const std::string& name) {
    if (KivAllTrim(name).empty() || name == cAppName)
        return false;
    for (const std::string& existing : aExisting)
        if (KivEqualsIgnoringCase(existing, name))
            return false;
    cAppName = name;
    appExists = false;
    return true;
}

size_t KivKeaPlan::ModulesToCreate() const {
    size_t count = 0;
    for (const KivKeaItem& item : modules)
        count += item.missing ? 0 : 1;
    return count;
}
