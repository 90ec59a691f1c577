#pragma once

#include <string>

namespace CLI {
class App;
}
class KivCliContext;

// kivrepo's commands over the repository: list, create-project, select-project, import-aef and
// export-aef. Each opens the repository for its run and closes it at the end, leaving the
// project that was current before it current again (select-project excepted).
class KivRepoCommands {
public:
    void Add(CLI::App& app, KivCliContext& context);

private:
    int List(KivCliContext& context) const;
    int CreateProject(KivCliContext& context) const;
    int SelectProject(KivCliContext& context) const;
    int ImportAef(KivCliContext& context) const;
    int ExportAef(KivCliContext& context) const;

    std::string m_project;
    std::string m_name;
    std::string m_dir;
    std::string m_file;
    std::string m_application;
    bool m_source = false;
    bool m_merge = false;
    bool m_dll = false;
};
