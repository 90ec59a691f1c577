#pragma once

#include "support/KivProgress.h"

#include <chrono>
#include <csignal>
#include <iosfwd>
#include <string>

// kivrepo's progress: on a terminal, one line on standard error that rewrites itself
// ("Exporting Project : Shop  Application : Orders  3 of 12 [######      ]") and is wiped when
// the work ends; anywhere else nothing, so that scripts see only the JSON and the errors.
// While it lives, Ctrl+C asks to cancel, as the Cancel button of the explorer's progress dialogs
// does, and the run decides what to leave behind; a second Ctrl+C ends the program at once.
class KivConsoleProgress final : public KivProgress {
public:
    // Draws on standard error when that is a terminal. `what` (Windows-1252, as the commands hold
    // what was typed) names the work until the run
    // gives its own caption. A work of one step that reports nothing (one engine call) shows
    // "0 of 1" until it ends and leaves Ctrl+C alone, since nothing would ask whether to stop.
    explicit KivConsoleProgress(std::string what = {}, bool oneStep = false);
    // Draws on `out` when `terminal` holds, in lines of `width` columns.
    KivConsoleProgress(std::ostream& out, bool terminal, int width, std::string what = {},
                       bool oneStep = false);
    ~KivConsoleProgress() override;
    // The work is over: the line goes before the result is printed, and Ctrl+C is as before.
    void End();
    KivConsoleProgress(const KivConsoleProgress&) = delete;
    KivConsoleProgress& operator=(const KivConsoleProgress&) = delete;

    void SetCaption(const std::string& caption) override;
    void SetRange(int bar, uint32_t minimum, uint32_t maximum) override;
    void SetPosition(int bar, uint32_t position) override;
    void SetText(int bar, const std::string& text) override;
    void SetLabel(int bar, const std::string& label) override;
    void SetWaitText(const std::string& text) override;
    bool CancelRequested() override;

    // The line as it would be drawn now, without the control bytes.
    std::string Line() const;

private:
    struct Bar {
        uint32_t minimum = 0;
        uint32_t maximum = 0;
        uint32_t position = 0;
        std::string label;
        std::string text;
    };

    void Changed();
    void Draw();
    void Wipe();

    std::ostream& m_out;
    bool m_terminal;
    int m_width;
    std::string m_what;
    bool m_catchesInterrupt;
    bool m_ended = false;
    std::string m_caption;
    std::string m_wait;
    Bar m_bars[2];
    bool m_dirty = false;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_drawn{};
    struct sigaction m_previousInterrupt {};
};
