#include "support/KivMessage.h"
#include "common/KivScriptedPrompt.h"

#include <gtest/gtest.h>

class MessageTest : public ::testing::Test {
protected:
    std::shared_ptr<KivScriptedPrompt> m_prompt = std::make_shared<KivScriptedPrompt>();
    KivPromptScope m_scope{m_prompt};
};

TEST_F(MessageTest, InfoAndAlertShowTheirIconsAndDefaultCaptions) {
    KivMessageInfo("Export done");
    KivMessageAlert("Select an application");
    KivMessageInfo("", "Export");
    KivMessageAlert();
    ASSERT_EQ(m_prompt->boxes.size(), 4u);
    EXPECT_EQ(m_prompt->boxes[0].text, "Export done");
    EXPECT_EQ(m_prompt->boxes[0].caption, "Information");
    EXPECT_EQ(m_prompt->boxes[0].style, 0x40u);
    EXPECT_EQ(m_prompt->boxes[1].text, "Select an application");
    EXPECT_EQ(m_prompt->boxes[1].caption, "Attention");
    EXPECT_EQ(m_prompt->boxes[1].style, 0x30u);
    EXPECT_EQ(m_prompt->boxes[2].text, "");
    EXPECT_EQ(m_prompt->boxes[2].caption, "Export");
    EXPECT_EQ(m_prompt->boxes[3].text, "");
    EXPECT_EQ(m_prompt->boxes[3].caption, "Attention");
}

TEST_F(MessageTest, YesNoStyleFollowsTheDefaultButton) {
    KivMessageYesNo("Delete ?");
    KivMessageYesNo("Delete ?", "Delete", 1);
    KivMessageYesNo("Delete ?", "Delete", 2);
    KivMessageYesNo("Delete ?", "Delete", 3); // no third button: Yes stays the default
    ASSERT_EQ(m_prompt->boxes.size(), 4u);
    EXPECT_EQ(m_prompt->boxes[0].caption, "Choose");
    EXPECT_EQ(m_prompt->boxes[0].style, 0x24u);
    EXPECT_EQ(m_prompt->boxes[1].style, 0x24u);
    EXPECT_EQ(m_prompt->boxes[2].style, 0x124u);
    EXPECT_EQ(m_prompt->boxes[3].style, 0x24u);
}

TEST_F(MessageTest, YesNoIsTrueOnlyForYes) {
    m_prompt->boxAnswers = {KivBox::IdYes, KivBox::IdNo, KivBox::IdCancel, KivBox::IdOk, 0, -1};
    EXPECT_TRUE(KivMessageYesNo("a"));
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(KivMessageYesNo("b")) << i;
}

TEST_F(MessageTest, YesNoUnansweredTakesTheDefaultButton) {
    EXPECT_TRUE(KivMessageYesNo("keep ?"));
    EXPECT_FALSE(KivMessageYesNo("keep ?", "Choose", 2));
}
