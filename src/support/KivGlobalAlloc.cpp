#include "support/KivGlobalAlloc.h"

#include "platform/KivGlobalMem.h"
#include "support/KivError.h"

namespace gm = kiv::globalmem;

void* KivGlobalAlloc(uint32_t flags, size_t size) {
    if ((flags & gm::kMoveable) == 0) {
        KivErrorObject error;
        error.Description = "Can't Allocate memory - Need GMEM_MOVEABLE Flag";
        error.Operation = "Realloc";
        error.FuncSym = "KivGlobalAlloc";
        error.Severity = 2;
        throw KivError(error);
    }
    gm::Handle block = gm::Alloc(flags, size);
    if (block == nullptr)
        return nullptr;
    void* address = gm::Lock(block);
    // A block of 0 bytes has nothing to lock: give it back rather than lose its handle.
    if (address == nullptr)
        gm::Free(block);
    return address;
}

void* KivGlobalReAlloc(void* address, size_t size, uint32_t flags) {
    gm::Handle block = gm::HandleOf(address);
    if (block == nullptr)
        return nullptr;
    gm::Unlock(block);
    gm::Handle moved = gm::ReAlloc(block, size, flags);
    if (moved == nullptr) {
        gm::Lock(block);
        return nullptr;
    }
    return gm::Lock(moved);
}

bool KivGlobalFree(void* address) {
    gm::Handle block = gm::HandleOf(address);
    if (block == nullptr)
        return false;
    gm::Unlock(block);
    return gm::Free(block);
}
