#pragma once

#include <cstddef>
#include <string>
#include <vector>

class KivVOProject;

// One line of the import summary: a module section, a library, a UDC or a CH file.
struct KivKeaItem {
    // The section name of a module, "Lib001", "UDC001", "CH001" for the others.
    std::string id;
    // The module name, library name or file name as the .KEA gives it.
    std::string label;
    // Modules, UDC and CH: the file found (DOS form); empty when missing.
    std::string file;
    bool missing = false;
};

enum class KivKeaStatus { Yes, Warning, No };

// What an external-application file (.KEA) holds and what of it can be found: the summary the
// import shows before it changes anything, and the list of modules it will create.
class KivKeaPlan {
public:
    enum class Group { None, Application, Modules, Libraries, UDC, CH };

    // Reads the file (through the INI reader, which writes back what it reads) and checks its
    // names: PRG files in the file's own folder whatever folder their entry names, libraries in
    // the project, UDC and CH files as named or, without a folder, in binFolder.
    static KivKeaPlan Read(const std::string& keaFile, KivVOProject& project, const std::string& binFolder);

    std::string keaFile;
    std::string keaFolder;
    // The name the application will be created under.
    std::string cAppName;
    // True while cAppName names an application of the project.
    bool appExists = false;
    // The project's application names, when the file's name was taken.
    std::vector<std::string> aExisting;

    std::vector<KivKeaItem> modules;
    std::vector<KivKeaItem> libraries;
    std::vector<KivKeaItem> udcs;
    std::vector<KivKeaItem> chs;
    // The three lists as the file gives them; the application takes them over unchecked.
    std::vector<std::string> libraryNames;
    std::vector<std::string> udcNames;
    std::vector<std::string> chNames;

    KivKeaStatus AppStatus() const { return appExists ? KivKeaStatus::No : KivKeaStatus::Yes; }
    std::string AppInfo() const;
    KivKeaStatus Status(Group group) const;
    std::string Info(Group group) const;
    const std::vector<KivKeaItem>& Items(Group group) const;

    // The item the summary selects: the application when its name is taken, else the first
    // missing item of modules, libraries, UDC and CH; Group::None when there is none.
    Group SelectGroup() const;
    size_t SelectIndex() const;

    // Missing files and libraries do not block the import; a taken name does.
    bool CanImport() const { return !appExists; }

    // Takes a new name for the application. Refused (false, nothing changes) for an empty name,
    // the current name, or a name of the project's applications (letter case aside, as the
    // engine finds applications).
    bool Rename(const std::string& name);

    size_t ModulesToCreate() const;
};
