#include "platform/KivGlobalMem.h"

#include "platform/KivOsError.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

struct KivGlobalBlock {
    char* data = nullptr;
    size_t size = 0;
    bool moveable = false;
    uint32_t locks = 0;
};

namespace kiv::globalmem {
namespace {

constexpr uint32_t kKnownFlags = kMoveable | kZeroInit;

// Every live block, and the block behind each address, so that a stale or made-up handle or
// address is refused instead of followed.
struct Registry {
    std::mutex mutex;
    std::unordered_set<Handle> blocks;
    std::unordered_map<const void*, Handle> byAddress;
};

Registry& Blocks() {
    static Registry registry;
    return registry;
}

thread_local uint32_t t_lastError = 0;

template <typename T> T Fail(uint32_t error, T result) {
    t_lastError = error;
    return result;
}

bool Live(Registry& registry, Handle block) {
    return block != nullptr && registry.blocks.count(block) != 0;
}

} // namespace

Handle Alloc(uint32_t flags, size_t size) {
    if ((flags & ~kKnownFlags) != 0)
        return Fail<Handle>(oserror::kInvalidParameter, nullptr);
    if (size > kMaxSize)
        return Fail<Handle>(oserror::kNotEnoughMemory, nullptr);
    char* data = nullptr;
    if (size > 0) {
        data = static_cast<char*>((flags & kZeroInit) ? std::calloc(size, 1) : std::malloc(size));
        if (data == nullptr)
            return Fail<Handle>(oserror::kNotEnoughMemory, nullptr);
    }
    auto* block = new KivGlobalBlock{data, size, (flags & kMoveable) != 0, 0};
    Registry& registry = Blocks();
    std::lock_guard lock(registry.mutex);
    registry.blocks.insert(block);
    if (data != nullptr)
        registry.byAddress[data] = block;
    return block;
}

void* Lock(Handle block) {
    Registry& registry = Blocks();
    std::lock_guard lock(registry.mutex);
    if (!Live(registry, block))
        return Fail<void*>(oserror::kInvalidHandle, nullptr);
    if (block->data == nullptr)
        return Fail<void*>(oserror::kDiscarded, nullptr);
    if (block->moveable)
        ++block->locks;
    return block->data;
}

uint32_t Unlock(Handle block) {
    Registry& registry = Blocks();
    std::lock_guard lock(registry.mutex);
    if (!Live(registry, block))
        return Fail<uint32_t>(oserror::kInvalidHandle, 0);
    if (block->locks == 0)
        return Fail<uint32_t>(oserror::kNotLocked, 0);
    return --block->locks;
}

Handle ReAlloc(Handle block, size_t size, uint32_t flags) {
    if ((flags & ~kKnownFlags) != 0)
        return Fail<Handle>(oserror::kInvalidParameter, nullptr);
    Registry& registry = Blocks();
    std::lock_guard lock(registry.mutex);
    if (!Live(registry, block))
        return Fail<Handle>(oserror::kInvalidHandle, nullptr);
    if (size > kMaxSize)
        return Fail<Handle>(oserror::kNotEnoughMemory, nullptr);
    const bool mayMove = (flags & kMoveable) != 0 || (block->moveable && block->locks == 0);
    if (size <= block->size && (size > 0 || !mayMove)) {
        // Shrinking happens in place; the bytes past the new size are simply no longer the block's.
        block->size = size;
        return block;
    }
    if (!mayMove)
        return Fail<Handle>(oserror::kNotEnoughMemory, nullptr);
    char* data = nullptr;
    if (size > 0) {
        data = static_cast<char*>(std::realloc(block->data, size));
        if (data == nullptr)
            return Fail<Handle>(oserror::kNotEnoughMemory, nullptr);
        if ((flags & kZeroInit) && size > block->size)
            std::memset(data + block->size, 0, size - block->size);
    } else {
        std::free(block->data);
        block->locks = 0;
    }
    if (block->data != nullptr)
        registry.byAddress.erase(block->data);
    if (data != nullptr)
        registry.byAddress[data] = block;
    block->data = data;
    block->size = size;
    return block;
}

bool Free(Handle block) {
    Registry& registry = Blocks();
    std::lock_guard lock(registry.mutex);
    if (!Live(registry, block))
        return Fail<bool>(oserror::kInvalidHandle, false);
    registry.blocks.erase(block);
    if (block->data != nullptr)
        registry.byAddress.erase(block->data);
    std::free(block->data);
    delete block;
    return true;
}

size_t Size(Handle block) {
    Registry& registry = Blocks();
    std::lock_guard lock(registry.mutex);
    if (!Live(registry, block))
        return Fail<size_t>(oserror::kInvalidHandle, 0);
    return block->size;
}

Handle HandleOf(const void* address) {
    Registry& registry = Blocks();
    std::lock_guard lock(registry.mutex);
    auto found = registry.byAddress.find(address);
    if (address == nullptr || found == registry.byAddress.end())
        return Fail<Handle>(oserror::kInvalidHandle, nullptr);
    return found->second;
}

uint32_t LockCount(Handle block) {
    Registry& registry = Blocks();
    std::lock_guard lock(registry.mutex);
    if (!Live(registry, block))
        return Fail<uint32_t>(oserror::kInvalidHandle, 0);
    return block->locks;
}

uint32_t LastError() {
    return t_lastError;
}

} // namespace kiv::globalmem
