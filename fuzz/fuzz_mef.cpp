// Any bytes as a MEF file: the module and its entities walked, every property read, the export
// built (to /dev/null).
#include "KivFuzzFile.h"
#include "KivFuzzWalk.h"

#include "exportfiles/KivMEFFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = KivFuzzFile(data, size);
    KivMEFFile mef(file);
    KivFuzzWalkModule(mef);
    mef.ExportModule("Z:\\dev\\null");
    return 0;
}
