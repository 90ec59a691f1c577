#include "cli/KivDemoCommand.h"

#include "platform/KivDosPath.h"
#include "repository/KivDemoRepository.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVORepository.h"

#include <CLI/CLI.hpp>

#include <ostream>

void KivDemoCommand::Add(CLI::App& app) {
    m_dir = KivDemoSamplesDir();
    m_command = app.add_subcommand("load-demo", "Fill an empty repository with the demo project");
    m_command->add_option("DIR", m_dir, "the samples folder holding demo.ini (DOS or host form)")
        ->default_str(m_dir);
}

bool KivDemoCommand::Run(std::ostream& out, std::ostream& err, int& code) const {
    if (!m_command || !*m_command)
        return false;
    KivRepositorySession session;
    if (!session.Success()) {
        err << "Failed to Initialize Repository !!\nAlready Open ?\n";
        code = 1;
        return true;
    }
    const KivDemoLoad load = KivLoadDemoRepository(kiv::dospath::ToDos(m_dir));
    if (!load.success) {
        err << load.error << '\n';
        code = 1;
        return true;
    }
    if (load.loaded) {
        // The demo's project stays current, so that the explorer opens on it.
        session.Repository()->DefaultProjectName(load.project);
        out << "Loaded the demo project " << load.project << " from " << m_dir << '\n';
    } else {
        out << "The repository holds applications already; nothing was loaded.\n";
    }
    code = 0;
    return true;
}
