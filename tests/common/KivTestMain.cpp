#include "common/KivTestSetup.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    KivPrepareTestRun();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
