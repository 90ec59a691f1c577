#pragma once

#include "support/KivMessage.h"

#include <string>
#include <vector>

// How a transfer ended. The explorer and kivrepo tell these apart: a cancelled run stopped at the
// person's request, an aborted one stopped at the first error because "Abort On Error" was
// checked, a failed one could not do its work (or could not write what it had to).
enum class KivTransferOutcome { Done, Cancelled, Aborted, Failed };

// The lower-case word kivrepo prints for an outcome ("done", "cancelled", "aborted", "failed").
const char* KivTransferOutcomeName(KivTransferOutcome outcome);

struct KivTransferResult {
    KivTransferOutcome outcome = KivTransferOutcome::Done;
    // The log written by the run (DOS form); empty when none could be written.
    std::string logPath;
    // The message that ended the run early, as it was shown or would be shown.
    std::string message;
    // Entries the run wrote as errors into its log.
    int errors = 0;
    // The boxes the run has for the person, for its caller to show (KivShowNotices).
    std::vector<KivNotice> notices;

    bool Done() const { return outcome == KivTransferOutcome::Done; }
};
