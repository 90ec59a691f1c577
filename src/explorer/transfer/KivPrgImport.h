#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <memory>

class KivKeaPlan;
class KivProgress;
class KivVOApplication;
class KivVOProject;

// Creates the application a .KEA describes in the project, under the plan's name: its library,
// UDC and CH lists as the file gives them, and one external module per PRG file found, bound to
// that file. The source stays in the PRG files.
class KivPrgImport {
public:
    // Bar 0 follows the modules. A module that cannot be created or bound asks the question
    // whether to abort (Yes: Aborted; No: the next module). Whatever ends the loop, the application
    // is flushed and keeps the modules made so far. Failed when the application cannot be created,
    // when the file lists modules and none of their PRG files was found (nothing is created then),
    // or when a module could not be made and the run went on without it.
    KivTransferResult Run(const KivKeaPlan& plan, KivVOProject& project, KivProgress& progress,
                          KivQuestion& question);

    // The application the last run created; null when none was.
    const std::shared_ptr<KivVOApplication>& Application() const { return m_application; }

private:
    std::shared_ptr<KivVOApplication> m_application;
};
