#include "platform/KivGlobalMem.h"
#include "platform/KivOsError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

namespace gm = kiv::globalmem;

TEST(GlobalMemTest, MovableBlockCountsLocksAndKeepsItsHandleWhenItMoves) {
    gm::Handle block = gm::Alloc(gm::kMoveable | gm::kZeroInit, 16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(gm::Size(block), 16u);
    auto* bytes = static_cast<unsigned char*>(gm::Lock(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(gm::LockCount(block), 1u);
    EXPECT_EQ(gm::HandleOf(bytes), block);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(bytes[i], 0) << i;
    std::memcpy(bytes, "0123456789abcdef", 16);

    // Locked, it may move only when the call allows it.
    EXPECT_EQ(gm::ReAlloc(block, 1 << 20, gm::kFixed), nullptr);
    EXPECT_EQ(gm::LastError(), kiv::oserror::kNotEnoughMemory);
    EXPECT_EQ(gm::Size(block), 16u);
    EXPECT_EQ(gm::ReAlloc(block, 1 << 20, gm::kMoveable | gm::kZeroInit), block);
    EXPECT_EQ(gm::Size(block), size_t{1} << 20);
    EXPECT_EQ(gm::Unlock(block), 0u);
    auto* moved = static_cast<unsigned char*>(gm::Lock(block));
    EXPECT_EQ(std::memcmp(moved, "0123456789abcdef", 16), 0);
    EXPECT_EQ(moved[16], 0);
    EXPECT_EQ(moved[(1 << 20) - 1], 0);
    EXPECT_EQ(gm::HandleOf(moved), block);
    EXPECT_EQ(gm::Unlock(block), 0u);

    // Unlocked, a movable block moves without being told; shrinking never moves it.
    EXPECT_EQ(gm::ReAlloc(block, 1 << 21, gm::kFixed), block);
    EXPECT_EQ(gm::ReAlloc(block, 4, gm::kFixed), block);
    EXPECT_EQ(gm::Size(block), 4u);
    EXPECT_TRUE(gm::Free(block));
}

TEST(GlobalMemTest, ImpossibleRequestsFailCleanly) {
    for (size_t size : {std::numeric_limits<size_t>::max(), gm::kMaxSize + 1, size_t{1} << 40}) {
        EXPECT_EQ(gm::Alloc(gm::kMoveable, size), nullptr) << size;
        EXPECT_EQ(gm::LastError(), kiv::oserror::kNotEnoughMemory);
    }
    EXPECT_EQ(gm::Alloc(0x8000, 4), nullptr);
    EXPECT_EQ(gm::LastError(), kiv::oserror::kInvalidParameter);

    gm::Handle block = gm::Alloc(gm::kMoveable, 8);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(gm::ReAlloc(block, std::numeric_limits<size_t>::max(), gm::kMoveable), nullptr);
    EXPECT_EQ(gm::LastError(), kiv::oserror::kNotEnoughMemory);
    EXPECT_EQ(gm::Size(block), 8u);
    EXPECT_EQ(gm::Unlock(block), 0u);
    EXPECT_EQ(gm::LastError(), kiv::oserror::kNotLocked);
    EXPECT_TRUE(gm::Free(block));

    // A freed or made-up handle or address is refused, not followed.
    int local = 0;
    EXPECT_FALSE(gm::Free(block));
    EXPECT_EQ(gm::LastError(), kiv::oserror::kInvalidHandle);
    EXPECT_EQ(gm::Lock(block), nullptr);
    EXPECT_EQ(gm::Size(block), 0u);
    EXPECT_EQ(gm::ReAlloc(block, 4, gm::kMoveable), nullptr);
    EXPECT_EQ(gm::HandleOf(&local), nullptr);
    EXPECT_EQ(gm::HandleOf(nullptr), nullptr);
    EXPECT_FALSE(gm::Free(nullptr));
}

TEST(GlobalMemTest, EmptyBlockHasNothingToLock) {
    gm::Handle block = gm::Alloc(gm::kMoveable, 0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(gm::Lock(block), nullptr);
    EXPECT_EQ(gm::LastError(), kiv::oserror::kDiscarded);
    EXPECT_EQ(gm::ReAlloc(block, 3, gm::kMoveable), block);
    EXPECT_NE(gm::Lock(block), nullptr);
    EXPECT_TRUE(gm::Free(block)); // locked blocks may be freed
}
