#include "support/KivMessage.h"

#include "support/KivPrompt.h"

void KivMessageInfo(const std::string& text, const std::string& caption) {
    KivPrompt().MessageBox(text, caption, KivBox::Ok | KivBox::IconInformation);
}

void KivMessageAlert(const std::string& text, const std::string& caption) {
    KivPrompt().MessageBox(text, caption, KivBox::Ok | KivBox::IconExclamation);
}

bool KivMessageYesNo(const std::string& text, const std::string& caption, int defaultButton) {
    // Only the two buttons the box has can be its default: a third would name no button at all.
    uint32_t style = KivBox::YesNo | KivBox::IconQuestion | (defaultButton == 2 ? KivBox::DefButton2 : 0);
    return KivPrompt().MessageBox(text, caption, style) == KivBox::IdYes;
}
