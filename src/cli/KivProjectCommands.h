#pragma once

#include <string>

namespace CLI {
class App;
}
class KivCliContext;

// kivrepo's project transfers: export-project, export-all and import-project. They write the
// same folders, AEF files, logs and information files as the explorer, and answer the questions
// the explorer would ask from their options (without one, as the explorer's preset answer).
class KivProjectCommands {
public:
    void Add(CLI::App& app, KivCliContext& context);

private:
    int ExportProject(KivCliContext& context) const;
    int ExportAll(KivCliContext& context) const;
    int ImportProject(KivCliContext& context) const;

    std::string m_dir;
    std::string m_project;
    std::string m_file;
    std::string m_name;
    std::string m_path;
    bool m_abortOnError = false;
    bool m_createPath = false;
};
