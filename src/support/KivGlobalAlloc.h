#pragma once

#include <cstddef>
#include <cstdint>

// Global memory reached by its locked address, as the streams keep it. The memory must be
// movable so that a later re-allocation may move it: KivGlobalAlloc raises a KivError when the
// flags lack kiv::globalmem::kMoveable. A failed allocation gives a null address and leaves the
// reason in kiv::globalmem::LastError().
void* KivGlobalAlloc(uint32_t flags, size_t size);
// Unlocks, re-allocates and locks again; the new address, or null with the memory at address
// untouched and still locked.
void* KivGlobalReAlloc(void* address, size_t size, uint32_t flags);
// Unlocks and frees; false when address is no global memory.
bool KivGlobalFree(void* address);
