// Any bytes as an AEF file: every module and entity walked, every property read, and each
// module's export built (to /dev/null, so that nothing is left on disk).
#include "KivFuzzFile.h"
#include "KivFuzzWalk.h"

#include "exportfiles/KivAEFFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = KivFuzzFile(data, size);
    KivAEFFile aef(file);
    aef.Name();
    aef.ExeName();
    aef.Description();
    aef.LibraryNameList();
    aef.UDCList();
    aef.CreateDate();
    aef.CreateTime();
    aef.LastBuildDate();
    aef.LastBuildTime();
    aef.IsApplication();
    aef.Version();
    const auto modules = aef.ModuleList();
    if (modules.size() != aef.ModuleCount())
        std::abort();
    for (const auto& module : modules)
        KivFuzzWalkModule(*module);
    const auto names = aef.ModuleNameList();
    if (!names.empty()) {
        if (aef.ModuleFind(names.front()) == nullptr)
            std::abort();
        aef.ExportModule(names.front(), "Z:\\dev\\null");
    }
    aef.SortByName();
    return 0;
}
