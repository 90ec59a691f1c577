#include "support/KivGlobalAlloc.h"
#include "platform/KivGlobalMem.h"
#include "support/KivError.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace gm = kiv::globalmem;

TEST(GlobalAllocTest, MemoryMustBeMovable) {
    for (uint32_t flags : {gm::kFixed, gm::kZeroInit}) {
        try {
            KivGlobalAlloc(flags, 16);
            ADD_FAILURE() << "fixed memory was handed out";
        } catch (const KivError& e) {
            EXPECT_EQ(e.Error().Description, "Can't Allocate memory - Need GMEM_MOVEABLE Flag");
            EXPECT_EQ(e.Error().Operation, "Realloc");
            EXPECT_EQ(e.Error().FuncSym, "KivGlobalAlloc");
            EXPECT_EQ(e.Error().Severity, 2u);
        }
    }
}

TEST(GlobalAllocTest, LockedAddressesLiveThroughReAllocAndFree) {
    auto* bytes = static_cast<char*>(KivGlobalAlloc(gm::kMoveable, 8));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(gm::LockCount(gm::HandleOf(bytes)), 1u);
    std::memcpy(bytes, "abcdefgh", 8);
    auto* grown = static_cast<char*>(KivGlobalReAlloc(bytes, 1 << 20, gm::kMoveable));
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(std::memcmp(grown, "abcdefgh", 8), 0);
    EXPECT_EQ(gm::LockCount(gm::HandleOf(grown)), 1u);

    // A size that cannot be had leaves the memory as it was, still locked.
    EXPECT_EQ(KivGlobalReAlloc(grown, std::numeric_limits<size_t>::max(), gm::kMoveable), nullptr);
    EXPECT_EQ(gm::LastError(), 8u);
    EXPECT_EQ(gm::LockCount(gm::HandleOf(grown)), 1u);
    EXPECT_EQ(std::memcmp(grown, "abcdefgh", 8), 0);

    EXPECT_TRUE(KivGlobalFree(grown));
    EXPECT_EQ(gm::HandleOf(grown), nullptr);
    EXPECT_FALSE(KivGlobalFree(grown));
    char local[4];
    EXPECT_FALSE(KivGlobalFree(local));
    EXPECT_EQ(KivGlobalReAlloc(local, 4, gm::kMoveable), nullptr);
    EXPECT_EQ(KivGlobalAlloc(gm::kMoveable, std::numeric_limits<size_t>::max()), nullptr);
    EXPECT_EQ(gm::LastError(), 8u);
}
