#include "exportfiles/KivIDEBaseObject.h"

#include <gtest/gtest.h>

namespace {

class Probe : public KivIDEBaseObject {
public:
    Probe() : KivIDEBaseObject("Probe") {}
    void Call(uint32_t status, const char* operation) { SetStatus(status, operation); }
};

} // namespace

TEST(KivIDEBaseObject, FailureTextOutlivesALaterSuccess) {
    Probe probe;
    EXPECT_EQ(probe.Name(), "Probe");
    EXPECT_TRUE(probe.Success());
    EXPECT_EQ(probe.ErrorCode(), 0u);
    EXPECT_EQ(probe.ErrorString(), "");

    probe.Call(0xFFFFFFFFu, "Error PrjCreate");
    EXPECT_FALSE(probe.Success());
    EXPECT_EQ(probe.ErrorCode(), 0xFFFFFFFFu);
    EXPECT_EQ(probe.ErrorString(), "Error PrjCreate");

    probe.Call(0, "Error PrjSelect");
    EXPECT_TRUE(probe.Success());
    EXPECT_EQ(probe.ErrorCode(), 0u);
    EXPECT_EQ(probe.ErrorString(), "Error PrjCreate");

    probe.Call(5, "Error PrjDelete");
    EXPECT_EQ(probe.ErrorString(), "Error PrjDelete");
}
