#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <string>

class KivVORepository;

// Deletes the repository's current project after the person confirms, making a neighbour in the
// project list current first: the second project when the first is deleted, else the one before.
// The only project cannot be deleted.
class KivDeleteProject {
public:
    // Cancelled when the person answers No to the question; Failed for the only project (with
    // the error box among the notices) or when the engine does not delete it.
    KivTransferResult Run(KivVORepository& repository, KivQuestion& question);

    // The project made current; empty when none was.
    const std::string& Neighbour() const { return m_neighbour; }

private:
    std::string m_neighbour;
};
