#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The message boxes of the explorer and the transfers, shown through the prompt backend
// (KivPrompt) without owner and centred on the screen. Texts are Windows-1252 bytes.

// An information box with an OK button.
void KivMessageInfo(const std::string& text = {}, const std::string& caption = "Information");
// An exclamation box with an OK button.
void KivMessageAlert(const std::string& text = {}, const std::string& caption = "Attention");
// A question with Yes and No; defaultButton 2 makes No the default (anything else keeps Yes).
// True only when the person answers Yes.
bool KivMessageYesNo(const std::string& text = {}, const std::string& caption = "Choose",
                     int defaultButton = 1);

// A box kept for later: work that must not show boxes itself (the transfers) returns what it has
// to tell as notices, and whoever ran it shows them with KivShowNotices.
struct KivNotice {
    std::string text;
    std::string caption;
    uint32_t style = 0; // KivBox flags, as for KivPrompt().MessageBox

    // The box KivMessageAlert shows, and an OK box with the stop icon.
    static KivNotice Alert(std::string text, std::string caption);
    static KivNotice Stop(std::string text, std::string caption);
};

// Shows the notices in their order through the prompt backend.
void KivShowNotices(const std::vector<KivNotice>& notices);

// A Yes/No question that work must have answered before it goes on; whoever runs the work
// passes the one that asks the person (KivMessageQuestion) or a scripted one.
class KivQuestion {
public:
    virtual ~KivQuestion() = default;
    // True for Yes.
    virtual bool YesNo(const std::string& text, const std::string& caption) = 0;
};

// Asks with KivMessageYesNo.
class KivMessageQuestion final : public KivQuestion {
public:
    bool YesNo(const std::string& text, const std::string& caption) override;
};
