#include "explorer/transfer/KivTransferResult.h"

const char* KivTransferOutcomeName(KivTransferOutcome outcome) {
    switch (outcome) {
    case KivTransferOutcome::Done:
        return "done";
    case KivTransferOutcome::Cancelled:
        return "cancelled";
    case KivTransferOutcome::Aborted:
        return "aborted";
    case KivTransferOutcome::Failed:
        return "failed";
    }
    return "failed";
}
