#pragma once

#include <cstdint>
#include <string>

// Statuses of the repository engine. File and operating-system failures are reported as the
// Windows error number (kiv::oserror), so the engine's own statuses start above that range.
namespace kiv::engine {

constexpr uint32_t kOk = 0;
constexpr uint32_t kNotOpen = 0x4B00 + 1;       // no AdamInit, or after AdamExit
constexpr uint32_t kAlreadyOpen = 0x4B00 + 2;   // another process (or engine) holds the repository
constexpr uint32_t kStoreError = 0x4B00 + 3;    // the database refused the operation
constexpr uint32_t kNoProject = 0x4B00 + 4;     // no such project, or no current project
constexpr uint32_t kBadId = 0x4B00 + 5;         // the ID is not in the current project
constexpr uint32_t kNameExists = 0x4B00 + 6;    // the name is taken
constexpr uint32_t kBadArgument = 0x4B00 + 7;   // empty name, null buffer, unknown kind ...
constexpr uint32_t kNoWalk = 0x4B00 + 8;        // a Next call without a walk, or an unknown handle
constexpr uint32_t kBadFile = 0x4B00 + 9;       // a damaged or foreign export file
constexpr uint32_t kIdsExhausted = 0x4B00 + 10; // no unused ID left
constexpr uint32_t kNotInList = 0x4B00 + 11;    // the entry is not in the list
constexpr uint32_t kProjectInUse = 0x4B00 + 12; // the current project cannot be deleted or removed
constexpr uint32_t kNoRecord = 0x4B00 + 13;     // the record handle is no longer kept
constexpr uint32_t kNoEngine = 0x4B00 + 14;     // no engine has been installed
constexpr uint32_t kDirInUse = 0x4B00 + 15;     // another project keeps its data in that directory

// A short English text for a status, for logs and the command line.
std::string StatusText(uint32_t status);

} // namespace kiv::engine
