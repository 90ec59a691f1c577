#pragma once

#include <string>

namespace CLI {
class App;
}
class KivCliContext;

// kivrepo's commands for the application transfer as external modules and the tools:
// export-prg, import-prg, save-reg, export-path and delete-project. They write the same files as
// the explorer; the questions the explorer asks are answered from the options.
class KivPrgCommands {
public:
    void Add(CLI::App& app, KivCliContext& context);

private:
    int ExportPrg(KivCliContext& context) const;
    int ImportPrg(KivCliContext& context) const;
    int SaveReg(KivCliContext& context) const;
    int ExportPath(KivCliContext& context) const;
    int DeleteProject(KivCliContext& context) const;

    std::string m_application;
    std::string m_dir;
    std::string m_file;
    std::string m_project;
    std::string m_rename;
    std::string m_groups;
    std::string m_name;
    bool m_abortOnError = false;
    bool m_yes = false;
};
