#pragma once

#include <string>

namespace CLI {
class App;
}
class KivCliContext;

// kivrepo's application transfers with implicants: export-app writes an application and every
// library it depends on with their .KAI and log, import-app reads such a folder back. They do
// the window's work and answer its questions from their options.
class KivAppTransferCommands {
public:
    void Add(CLI::App& app, KivCliContext& context);

private:
    int ExportApp(KivCliContext& context) const;
    int ImportApp(KivCliContext& context) const;

    std::string m_application;
    std::string m_dir;
    std::string m_file;
    std::string m_project;
    std::string m_rename;
    std::string m_existing = "delete";
    bool m_includeDlls = false;
    bool m_abortOnError = false;
};
