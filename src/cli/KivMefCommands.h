#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

// kivrepo's commands for source-control folders of MEF files: import-mef brings MEF files (or
// every MEF of a folder) into an application as its modules, export-mef writes one MEF per
// module (and with --prg its PRG source beside it).
class KivMefCommands {
public:
    void Add(CLI::App& app);
    // True when one of these commands was given; `code` is then its exit code.
    bool Run(std::ostream& out, std::ostream& err, int& code) const;

private:
    int ImportMef(std::ostream& out, std::ostream& err) const;
    int ExportMef(std::ostream& out, std::ostream& err) const;

    CLI::App* m_importMef = nullptr;
    CLI::App* m_exportMef = nullptr;

    std::string m_application;
    std::vector<std::string> m_paths;
    std::string m_dir;
    std::string m_project;
    bool m_prg = false;
};
