#include "engine/KivEngineStatus.h"

#include "platform/KivOsError.h"

namespace kiv::engine {

std::string StatusText(uint32_t status) {
    switch (status) {
    case kOk:
        return "The operation completed successfully.";
    case kNotOpen:
        return "The repository is not open.";
    case kAlreadyOpen:
        return "The repository is already open.";
    case kStoreError:
        return "The repository's database refused the operation.";
    case kNoProject:
        return "The project is not in the repository.";
    case kBadId:
        return "The object is not in the current project.";
    case kNameExists:
        return "The name is already taken.";
    case kBadArgument:
        return "The argument is not valid.";
    case kNoWalk:
        return "No walk of this kind was started.";
    case kBadFile:
        return "The file is damaged or not an export file.";
    case kIdsExhausted:
        return "No unused ID is left in the project.";
    case kNotInList:
        return "The entry is not in the list.";
    case kProjectInUse:
        return "The current project cannot be deleted or removed.";
    case kNoRecord:
        return "The record is no longer available.";
    case kNoEngine:
        return "No repository engine is installed.";
    case kDirInUse:
        return "Another project keeps its data in that directory.";
    default:
        return kiv::oserror::Text(status);
    }
}

} // namespace kiv::engine
