#pragma once

#include "KivTransferFixture.h"

#include <string>
#include <utility>
#include <vector>

// An application as the tests put it into a repository.
struct KivTestApp {
    std::string name;
    std::vector<std::string> libraries; // search path, by name
    bool library = false;
    std::string exeName;
    std::string description;
    std::vector<std::string> udcs;
    std::vector<std::string> chs;
    std::vector<KivTestModule> modules;
};

class KivProjectTransferTest : public KivRepositoryTest {
protected:
    // Writes the application as an AEF and imports it into the project.
    std::shared_ptr<KivVOApplication> AddApp(KivVOProject& project, const KivTestApp& app);
    // A new selected project whose data lives in the scratch folder.
    std::shared_ptr<KivVOProject> MakeProject(const std::string& name);

    // The project "Shop" of the end-to-end tests, in name order:
    //   Base     library, uses the system library Win32
    //   Reports  library, uses Base and "Outside" (an application of no project here)
    //   Shop     executable, uses Reports and Base, with UDC, CH, description and Windows-1252 text
    //   Tools    executable with a recorded export name "D:\Old\Export\TOOLS_V2.AEF"
    //   Win32    system library
    std::shared_ptr<KivVOProject> BuildShop();

    // Ends this repository and starts an empty one in a new platform home.
    void FreshRepository(const std::string& homeName);

    // Everything the model tells about the project's applications, one line per fact, the
    // applications in name order; system libraries and library entries naming them are left out.
    std::string Dump(KivVOProject& project);

    // The records of an export file, as (tag, data).
    static std::vector<std::pair<uint16_t, std::string>> Records(const std::string& bytes);

    std::string Host(const std::string& relative) const { return (Scratch() / relative).string(); }
};
