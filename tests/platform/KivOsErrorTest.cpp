#include "platform/KivOsError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

TEST(KivOsError, HostErrorsBecomeWindowsNumbersWithTheirTexts) {
    EXPECT_EQ(kiv::oserror::FromErrno(0), 0u);
    EXPECT_EQ(kiv::oserror::FromErrno(ENOENT), 2u);
    EXPECT_EQ(kiv::oserror::FromErrno(EBADF), 6u);
    EXPECT_EQ(kiv::oserror::FromErrno(ENOSPC), 112u);
    EXPECT_EQ(kiv::oserror::Text(2), "The system cannot find the file specified.");
    EXPECT_EQ(kiv::oserror::Text(6), "The handle is invalid.");
    // An errno without a Windows counterpart keeps its own number and text.
    uint32_t odd = kiv::oserror::FromErrno(EXDEV);
    EXPECT_NE(odd, 0u);
    EXPECT_EQ(kiv::oserror::Text(odd), std::strerror(EXDEV));
}
