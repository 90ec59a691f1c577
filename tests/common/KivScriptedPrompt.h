#pragma once

#include "support/KivPrompt.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

// A prompt backend for tests: answers from queues the test fills, and records what was shown.
// When a queue is empty, a box answers with its default button and a dialog is cancelled.
class KivScriptedPrompt : public KivPromptBackend {
public:
    struct Box {
        std::string text;
        std::string caption;
        uint32_t style;
    };

    struct ErrorBoxShown {
        std::string text;
        std::string title;
        bool canDefault, canRetry, canBreak;
    };

    std::deque<int> boxAnswers;
    std::deque<KivErrorChoice> errorAnswers;
    std::vector<ErrorBoxShown> errorBoxes;
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<std::string>> fileAnswers;

    std::vector<Box> boxes;
    std::vector<std::string> dialogs; // titles of the folder and file dialogs, in order
    std::vector<int> beeps;           // frequencies

    int MessageBox(const std::string& text, const std::string& caption, uint32_t style) override {
        boxes.push_back({text, caption, style});
        if (boxAnswers.empty())
            return KivDefaultAnswer(style);
        int answer = boxAnswers.front();
        boxAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> BrowseFolder(const std::string& title, const std::string&) override {
        return Next(title, folderAnswers);
    }
    std::optional<std::string> OpenFile(const std::string& caption, const std::string&,
                                        const std::string&) override {
        return Next(caption, fileAnswers);
    }
    std::optional<std::string> SaveFile(const std::string& caption, const std::string&,
                                        const std::string&) override {
        return Next(caption, fileAnswers);
    }
    void Beep(int frequencyHz, int) override { beeps.push_back(frequencyHz); }
    KivErrorChoice ErrorBox(const std::string& text, const std::string& title, bool canDefault, bool canRetry,
                            bool canBreak) override {
        errorBoxes.push_back({text, title, canDefault, canRetry, canBreak});
        if (errorAnswers.empty())
            return KivErrorChoice::Quit;
        KivErrorChoice answer = errorAnswers.front();
        errorAnswers.pop_front();
        return answer;
    }

private:
    std::optional<std::string> Next(const std::string& title, std::deque<std::optional<std::string>>& queue) {
        dialogs.push_back(title);
        if (queue.empty())
            return std::nullopt;
        auto answer = queue.front();
        queue.pop_front();
        return answer;
    }
};
