#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Everything that asks the person something goes through one replaceable backend: Qt boxes and
// dialogs in the explorer, scripted answers in tests, a console or silent one in kivrepo. The
// model and the transfers never open a window themselves.

// Message box styles and answers, with the numbers of the Windows message box.
namespace KivBox {
constexpr uint32_t Ok = 0x00;
constexpr uint32_t OkCancel = 0x01;
constexpr uint32_t AbortRetryIgnore = 0x02;
constexpr uint32_t YesNoCancel = 0x03;
constexpr uint32_t YesNo = 0x04;
constexpr uint32_t RetryCancel = 0x05;
constexpr uint32_t ButtonMask = 0x0F;
constexpr uint32_t IconStop = 0x10;
constexpr uint32_t IconQuestion = 0x20;
constexpr uint32_t IconExclamation = 0x30;
constexpr uint32_t IconInformation = 0x40;
constexpr uint32_t IconMask = 0xF0;
constexpr uint32_t DefButton2 = 0x100;
constexpr uint32_t DefButton3 = 0x200;

constexpr int IdOk = 1;
constexpr int IdCancel = 2;
constexpr int IdAbort = 3;
constexpr int IdRetry = 4;
constexpr int IdIgnore = 5;
constexpr int IdYes = 6;
constexpr int IdNo = 7;
} // namespace KivBox

// What the person may choose in the error box of the error handler.
enum class KivErrorChoice { Quit, Retry, Default, Break };

class KivPromptBackend {
public:
    virtual ~KivPromptBackend() = default;

    // Shows a message box without owner, centred on the screen; returns the answer (KivBox::Id...).
    virtual int MessageBox(const std::string& text, const std::string& caption, uint32_t style) = 0;
    // Asks for a folder; empty when the person cancels. Paths are in DOS form both ways.
    virtual std::optional<std::string> BrowseFolder(const std::string& title, const std::string& start) = 0;
    // Asks for an existing file to open / a file to save; filter as "Info files (*.KPI)".
    virtual std::optional<std::string> OpenFile(const std::string& caption, const std::string& filter,
                                                const std::string& start) = 0;
    virtual std::optional<std::string> SaveFile(const std::string& caption, const std::string& filter,
                                                const std::string& start) = 0;
    // Asks for one or more existing files; empty when the person cancels. Backends that cannot
    // pick several ask through OpenFile for one.
    virtual std::vector<std::string> OpenFiles(const std::string& caption, const std::string& filter,
                                               const std::string& start);
    // A short tone; the silent backends ignore it.
    virtual void Beep(int frequencyHz, int milliseconds) = 0;
    // The error handler's box: the message, "ERROR" or "WARNING", and the choices it may offer
    // besides Quit. Backends with real buttons override it; this one asks through MessageBox
    // (Abort = Quit or Break, Retry, Ignore = Default).
    virtual KivErrorChoice ErrorBox(const std::string& text, const std::string& title, bool canDefault,
                                    bool canRetry, bool canBreak);
};

// The backend in use. Until one is installed, a silent backend answers every box with its
// default button and every dialog with "cancelled".
KivPromptBackend& KivPrompt();

// Installs a backend and hands back the one it replaces. A null pointer restores the silent one.
std::shared_ptr<KivPromptBackend> KivSetPrompt(std::shared_ptr<KivPromptBackend> backend);

// Installs a backend for the life of the guard (a test's scripted answers, a dialog-free run).
class KivPromptScope {
public:
    explicit KivPromptScope(std::shared_ptr<KivPromptBackend> backend) : m_previous(KivSetPrompt(std::move(backend))) {}
    ~KivPromptScope() { KivSetPrompt(m_previous); }
    KivPromptScope(const KivPromptScope&) = delete;
    KivPromptScope& operator=(const KivPromptScope&) = delete;

private:
    std::shared_ptr<KivPromptBackend> m_previous;
};

// The answer the default button of a style gives (what a box answers when nobody is there).
int KivDefaultAnswer(uint32_t style);
