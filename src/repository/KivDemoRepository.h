#pragma once

#include <string>

// The demo repository: a small project of our own (samples/ in the checkout) that fills an empty
// repository, so that a newcomer sees every kind of node and row of the explorer. The folder
// holds demo.ini, which names the projects, applications and modules to make, and the PRG files
// the modules are read from. Everything is made through the engine's own operations, as the
// IDE would make it: projects and applications are created, modules imported from their PRG
// files (an external module stays bound to its file), then the settings the IDE keeps for
// itself (library kinds, hidden entities) are set.

// True when no project of the repository holds an application. Also true when the repository
// cannot be read, because then loading fails with the reason.
bool KivDemoRepositoryIsEmpty();

struct KivDemoLoad {
    // False when the demo could not be loaded: `error` says why, and the repository is as it was.
    bool success = false;
    // False on success when the repository held applications already and nothing was done.
    bool loaded = false;
    std::string error;
    // The demo's first project, made current by a load.
    std::string project;
};

// Loads the demo from the folder (DOS form; a relative path is taken from the working folder)
// into an empty repository. The whole folder is read and checked before anything is changed; a
// failure half-way removes what was made.
KivDemoLoad KivLoadDemoRepository(const std::string& samplesDir);

// The samples folder (host form) a plain load-demo reads: the one installed with the program
// (PREFIX/share/kiv-repository-tools/samples beside PREFIX/bin), else the checkout's own.
std::string KivDemoSamplesDir();
