#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}
class KivCliContext;

// kivrepo's commands for source-control folders of MEF files: import-mef brings MEF files (or
// every MEF of a folder) into an application as its modules, export-mef writes one MEF per
// module (and with --prg its PRG source beside it).
class KivMefCommands {
public:
    void Add(CLI::App& app, KivCliContext& context);

private:
    int ImportMef(KivCliContext& context) const;
    int ExportMef(KivCliContext& context) const;

    std::string m_application;
    std::vector<std::string> m_paths;
    std::string m_dir;
    std::string m_project;
    bool m_prg = false;
};
