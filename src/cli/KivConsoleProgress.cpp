#include "cli/KivConsoleProgress.h"

#include "platform/KivUtf8.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

// The first Ctrl+C asks the run to stop; one more, while the run has not looked yet (a long
// engine call), ends the program as Ctrl+C always does.
extern "C" void OnInterrupt(int number) {
    if (g_interrupted) {
        std::signal(number, SIG_DFL);
        std::raise(number);
        return;
    }
    g_interrupted = 1;
}

int TerminalWidth() {
    winsize size{};
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

// Code points in UTF-8 text.
size_t Columns(const std::string& text) {
    return static_cast<size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The text cut to `columns` code points, never inside a character.
std::string Cut(const std::string& text, size_t columns) {
    size_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == columns)
            return text.substr(0, i);
    }
    return text;
}

// A name may hold control characters: on a terminal they would move the cursor or start an
// escape sequence, so each becomes '?' (C1 controls come out of the conversion as two bytes).
std::string Printable(std::string text) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80) {
            shown += '?';
            ++i;
        } else {
            shown += byte < 0x20 || byte == 0x7F ? '?' : text[i];
        }
    }
    return shown;
}

void Append(std::string& line, const std::string& part) {
    if (part.empty())
        return;
    if (!line.empty())
        line += "  ";
    line += part;
}

constexpr auto kRedrawEvery = std::chrono::milliseconds(50);
constexpr size_t kBarWidth = 20;

} // namespace

KivConsoleProgress::KivConsoleProgress(std::string what, bool oneStep)
    : KivConsoleProgress(std::cerr, ::isatty(STDERR_FILENO) == 1, TerminalWidth(), std::move(what), oneStep) {
}

KivConsoleProgress::KivConsoleProgress(std::ostream& out, bool terminal, int width, std::string what,
                                       bool oneStep)
    : m_out(out), m_terminal(terminal), m_width(std::max(width, 20)), m_what(std::move(what)),
      m_catchesInterrupt(!oneStep) {
    if (m_catchesInterrupt) {
        g_interrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &m_previousInterrupt);
    }
    if (oneStep)
        SetRange(0, 0, 1);
}

KivConsoleProgress::~KivConsoleProgress() {
    End();
}

void KivConsoleProgress::End() {
    if (m_ended)
        return;
    m_ended = true;
    Wipe();
    if (m_catchesInterrupt) {
        ::sigaction(SIGINT, &m_previousInterrupt, nullptr);
        g_interrupted = 0;
    }
}

void KivConsoleProgress::SetCaption(const std::string& caption) {
    m_caption = caption;
    Changed();
}

void KivConsoleProgress::SetRange(int bar, uint32_t minimum, uint32_t maximum) {
    if (bar < 0 || bar > 1)
        return;
    m_bars[bar].minimum = minimum;
    m_bars[bar].maximum = maximum;
    m_bars[bar].position = minimum;
    Changed();
}

void KivConsoleProgress::SetPosition(int bar, uint32_t position) {
    if (bar < 0 || bar > 1)
        return;
    m_bars[bar].position = position;
    Changed();
}

void KivConsoleProgress::SetText(int bar, const std::string& text) {
    if (bar < 0 || bar > 1)
        return;
    m_bars[bar].text = text;
    Changed();
}

void KivConsoleProgress::SetLabel(int bar, const std::string& label) {
    if (bar < 0 || bar > 1)
        return;
    m_bars[bar].label = label;
    Changed();
}

void KivConsoleProgress::SetWaitText(const std::string& text) {
    m_wait = text;
    Changed();
}

bool KivConsoleProgress::CancelRequested() {
    if (m_dirty)
        Changed();
    return m_catchesInterrupt && !m_ended && g_interrupted != 0;
}

std::string KivConsoleProgress::Line() const {
    const Bar& main = m_bars[0];
    std::string what;
    Append(what, KivAnsiToUtf8(m_caption.empty() ? m_what : m_caption));
    Append(what, KivAnsiToUtf8(m_wait));
    Append(what, KivAnsiToUtf8(main.label.empty() ? main.text : main.label + " " + main.text));
    // The transfers count from 1, the item being worked on, to the number of items.
    std::string count;
    if (main.maximum > 0) {
        const uint32_t done = std::min(main.position, main.maximum);
        const size_t filled = kBarWidth * done / main.maximum;
        count = std::to_string(done) + " of " + std::to_string(main.maximum) + " [" +
                std::string(filled, '#') + std::string(kBarWidth - filled, ' ') + "]";
    }
    // The count and the bar always show; the words give way on a narrow terminal.
    const size_t room = static_cast<size_t>(m_width - 1);
    const size_t keep = count.empty() ? room : (room > Columns(count) + 2 ? room - Columns(count) - 2 : 0);
    what = Printable(std::move(what));
    if (Columns(what) > keep)
        what = keep > 3 ? Cut(what, keep - 3) + "..." : Cut(what, keep);
    std::string line = what;
    Append(line, count);
    return line;
}

void KivConsoleProgress::Changed() {
    m_dirty = true;
    if (!m_terminal || m_ended)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (m_shown && now - m_drawn < kRedrawEvery)
        return;
    m_drawn = now;
    Draw();
}

void KivConsoleProgress::Draw() {
    m_dirty = false;
    m_out << '\r' << Line() << "\x1b[K" << std::flush;
    m_shown = true;
}

void KivConsoleProgress::Wipe() {
    if (!m_shown)
        return;
    m_out << "\r\x1b[K" << std::flush;
    m_shown = false;
}
