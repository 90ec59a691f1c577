#pragma once

#include "support/KivPrompt.h"

#include <optional>
#include <ostream>

// The prompt backend of kivrepo: every box, or a message a run returns, is one line on the error
// stream, "caption: text" in UTF-8, its line breaks made blanks. A Yes/No question is answered
// with the command's option when it has one for it, else with the default button as the window's
// preset would be, and the answer ends the line. Dialogs count as cancelled.
class KivConsolePrompt final : public KivPromptBackend {
public:
    explicit KivConsolePrompt(std::ostream& err, std::optional<bool> yes = std::nullopt)
        : m_err(err), m_yes(yes) {}

    int MessageBox(const std::string& text, const std::string& caption, uint32_t style) override;
    std::optional<std::string> BrowseFolder(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::optional<std::string> SaveFile(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    void Beep(int, int) override {}

private:
    std::ostream& m_err;
    std::optional<bool> m_yes;
};
