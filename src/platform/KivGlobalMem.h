#pragma once

#include <cstddef>
#include <cstdint>

struct KivGlobalBlock;

// Movable global memory as the Windows GlobalAlloc family offers it: a block is known by its
// handle, its bytes are reached by locking it, and re-allocation may move the bytes while the
// handle stays. Failures give a null result and leave a Windows error number in LastError; a
// handle that is no live block (freed twice, made up) is refused, never followed.
namespace kiv::globalmem {

using Handle = KivGlobalBlock*;

constexpr uint32_t kFixed = 0x0000;
constexpr uint32_t kMoveable = 0x0002; // GMEM_MOVEABLE
constexpr uint32_t kZeroInit = 0x0040; // GMEM_ZEROINIT

// The IDE runs as a 32-bit process: no block can reach 2 GiB there, so larger requests fail as
// they would on the platform (and before they reach the host's allocator).
constexpr size_t kMaxSize = 0x7FFFFFFF;

// A new block of size bytes; kZeroInit fills it with zeros. Null on failure (8 for a size the
// memory cannot hold, 87 for unknown flags). A block of 0 bytes has a handle but no memory.
Handle Alloc(uint32_t flags, size_t size);

// The block's bytes. A movable block counts its locks; a fixed one is always in place. Null for
// a block of 0 bytes (157) or an unknown handle (6).
void* Lock(Handle block);

// Drops one lock; the locks still held. 158 in LastError when the block was not locked.
uint32_t Unlock(Handle block);

// Changes the size. The bytes move only when flags hold kMoveable or the block is movable and
// not locked; a block that may not move cannot grow (8). With kZeroInit the added bytes are 0.
// The handle on success (it is the same handle), null on failure with the block unchanged.
Handle ReAlloc(Handle block, size_t size, uint32_t flags);

// Frees the block, locked or not; true on success, false for an unknown handle (6).
bool Free(Handle block);

// The size in bytes; 0 for an unknown handle (6).
size_t Size(Handle block);

// The handle of the block whose bytes start at address (a locked address); null when none.
Handle HandleOf(const void* address);

// The lock count of a movable block (0 for a fixed one).
uint32_t LockCount(Handle block);

// The error number of the calling thread's last failed call; as on Windows, a call that succeeds
// leaves it alone.
uint32_t LastError();

} // namespace kiv::globalmem
