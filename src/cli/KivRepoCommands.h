#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

// kivrepo's commands over the repository: list, create-project, select-project, import-aef and
// export-aef. Each opens the repository for its run and closes it at the end, leaving the
// project that was current before it current again (select-project excepted).
class KivRepoCommands {
public:
    void Add(CLI::App& app);
    // True when one of these commands was given; `code` is then its exit code.
    bool Run(std::ostream& out, std::ostream& err, int& code) const;

private:
    int List(std::ostream& out, std::ostream& err) const;
    int CreateProject(std::ostream& err) const;
    int SelectProject(std::ostream& err) const;
    int ImportAef(std::ostream& err) const;
    int ExportAef(std::ostream& err) const;

    CLI::App* m_list = nullptr;
    CLI::App* m_createProject = nullptr;
    CLI::App* m_selectProject = nullptr;
    CLI::App* m_importAef = nullptr;
    CLI::App* m_exportAef = nullptr;

    std::string m_project;
    std::string m_name;
    std::string m_dir;
    std::string m_file;
    std::string m_application;
    bool m_source = false;
    bool m_merge = false;
    bool m_dll = false;
};
