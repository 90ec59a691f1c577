#pragma once

#include "support/KivPrompt.h"

class QMessageBox;

// The prompt backend of the explorer: Qt message boxes and file dialogs without owner, centred
// on the screen. Texts arrive as Windows-1252 bytes and paths in DOS form; what the person picks
// goes back the same way.
class KivQtPrompt final : public KivPromptBackend {
public:
    int MessageBox(const std::string& text, const std::string& caption, uint32_t style) override;
    std::optional<std::string> BrowseFolder(const std::string& title, const std::string& start) override;
    std::optional<std::string> OpenFile(const std::string& caption, const std::string& filter,
                                        const std::string& start) override;
    std::optional<std::string> SaveFile(const std::string& caption, const std::string& filter,
                                        const std::string& start) override;
    std::vector<std::string> OpenFiles(const std::string& caption, const std::string& filter,
                                       const std::string& start) override;
    void Beep(int frequencyHz, int milliseconds) override;
    KivErrorChoice ErrorBox(const std::string& text, const std::string& title, bool canDefault, bool canRetry,
                            bool canBreak) override;
};

// The box MessageBox shows for a style, built but not shown (so that its look can be checked).
// The answer of each button is kept in the button's "kivAnswer" property.
void KivBuildMessageBox(QMessageBox& box, const std::string& text, const std::string& caption,
                        uint32_t style);
