#pragma once

#include "support/KivPrompt.h"

#include <ostream>

// The prompt backend of kivrepo: every box is written to the error stream as "caption: text" and
// answered with its default button, as the window's preset would be; dialogs count as
// cancelled. The commands answer the questions they have options for before asking.
class KivConsolePrompt final : public KivPromptBackend {
public:
    explicit KivConsolePrompt(std::ostream& err) : m_err(err) {}

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
};
