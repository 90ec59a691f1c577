#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <string>

class KivVOProject;

// Points the export file name the repository keeps for every application of a project (system
// libraries aside) into one folder, keeping each file's own name: lib.aef elsewhere becomes
// <folder>\lib.aef, and an application without one gets <name>.AEF.
class KivExportPath {
public:
    KivTransferResult Run(KivVOProject& project, const std::string& folder);

    // How many applications got a new name in the last run.
    int Changed() const { return m_changed; }

private:
    int m_changed = 0;
};
