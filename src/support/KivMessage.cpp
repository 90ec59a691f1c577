#include "support/KivMessage.h"

#include "support/KivPrompt.h"

#include <utility>

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

KivNotice KivNotice::Alert(std::string text, std::string caption) {
    return {std::move(text), std::move(caption), KivBox::Ok | KivBox::IconExclamation};
}

KivNotice KivNotice::Stop(std::string text, std::string caption) {
    return {std::move(text), std::move(caption), KivBox::Ok | KivBox::IconStop};
}

void KivShowNotices(const std::vector<KivNotice>& notices) {
    for (const KivNotice& notice : notices)
        KivPrompt().MessageBox(notice.text, notice.caption, notice.style);
}

bool KivMessageQuestion::YesNo(const std::string& text, const std::string& caption) {
    return KivMessageYesNo(text, caption);
}
