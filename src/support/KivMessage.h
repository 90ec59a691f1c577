#pragma once

#include <string>

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
