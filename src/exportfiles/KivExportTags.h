#pragma once

#include <cstdint>

// Record kinds of the export files (AEF, MEF) that the readers and the engine interpret. All
// others are stepped over by the readers and kept as they are by the engine.
namespace kiv::tag {

// Application level
constexpr uint16_t kHeader = 0x0001;
constexpr uint16_t kAppName = 0x0002;
constexpr uint16_t kLibrary = 0x0004;
constexpr uint16_t kUdc = 0x0005;
constexpr uint16_t kLibraryFlag = 0x000A;
constexpr uint16_t kDllFlag = 0x000B;
constexpr uint16_t kExeName = 0x000D;
constexpr uint16_t kDescription = 0x000F;
constexpr uint16_t kGroupName = 0x0108;
constexpr uint16_t kAppInfo = 0x010F;
constexpr uint16_t kCh = 0x0122;
constexpr uint16_t kAppExpName = 0x0126;

// Module level
constexpr uint16_t kModuleName = 0x0020;
constexpr uint16_t kExternFile = 0x0022;
constexpr uint16_t kExternSource = 0x0101;
constexpr uint16_t kModuleInfo = 0x010E;
constexpr uint16_t kModuleExpName = 0x0127;

// Entity level
constexpr uint16_t kEntityName = 0x0040;
constexpr uint16_t kSource = 0x0041;
constexpr uint16_t kCustomData = 0x0042;
constexpr uint16_t kEntityType = 0x0044;
constexpr uint16_t kBlockType = 0x004D;
constexpr uint16_t kPrototype = 0x004E;
constexpr uint16_t kDisplayName = 0x0123;
constexpr uint16_t kEntityInfo = 0x010D;
constexpr uint16_t kEntityOptions = 0x010C;

// Sizes of the information records as the IDE writes them, and where their moments sit.
constexpr uint32_t kAppInfoSize = 76;
constexpr uint32_t kAppInfoLibrary = 4;
constexpr uint32_t kAppInfoDll = 8;
constexpr uint32_t kAppInfoBuilt = 36;
constexpr uint32_t kAppInfoCreated = 40;
constexpr uint32_t kModuleInfoSize = 56;
constexpr uint32_t kModuleInfoBuilt = 16;
constexpr uint32_t kModuleInfoCreated = 20;
constexpr uint32_t kEntityInfoSize = 84;
constexpr uint32_t kEntityInfoCreated = 28;
constexpr uint32_t kEntityInfoBuilt = 32;

// Header records: tag 0x0001, a version word with bit 7 set, then a text.
constexpr uint32_t kAefHeaderSize = 32;
constexpr uint32_t kMefHeaderSize = 27;

// Entity type numbers (record 0x0044) and block kinds (record 0x004D).
constexpr uint32_t kTypeDll = 1;
constexpr uint32_t kTypeSource = 3;
constexpr uint32_t kTypeResource = 4;
constexpr uint32_t kBlockNone = 0;
constexpr uint32_t kBlockFunction = 17;
constexpr uint32_t kBlockProcedure = 18;
constexpr uint32_t kBlockMethod = 21;
constexpr uint32_t kBlockGlobal = 22;
constexpr uint32_t kBlockClass = 23;
constexpr uint32_t kBlockStructure = 24;
constexpr uint32_t kBlockAccess = 25;
constexpr uint32_t kBlockAssign = 26;
constexpr uint32_t kBlockDefine = 27;
constexpr uint32_t kBlockUnion = 29;

} // namespace kiv::tag
