#include "support/KivPrompt.h"

#include <mutex>

namespace {

class SilentPrompt final : public KivPromptBackend {
public:
    int MessageBox(const std::string&, const std::string&, uint32_t style) override { return KivDefaultAnswer(style); }
    std::optional<std::string> BrowseFolder(const std::string&, const std::string&) override { return std::nullopt; }
    std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> SaveFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    void Beep(int, int) override {}
};

std::mutex g_lock;
std::shared_ptr<KivPromptBackend> g_backend;

std::shared_ptr<KivPromptBackend> Silent() {
    static auto silent = std::make_shared<SilentPrompt>();
    return silent;
}

} // namespace

KivPromptBackend& KivPrompt() {
    std::lock_guard guard(g_lock);
    if (!g_backend)
        g_backend = Silent();
    return *g_backend;
}

std::shared_ptr<KivPromptBackend> KivSetPrompt(std::shared_ptr<KivPromptBackend> backend) {
    std::lock_guard guard(g_lock);
    auto previous = g_backend ? g_backend : Silent();
    g_backend = backend ? std::move(backend) : Silent();
    return previous;
}

std::vector<std::string> KivPromptBackend::OpenFiles(const std::string& caption, const std::string& filter,
                                                    const std::string& start) {
    auto file = OpenFile(caption, filter, start);
    return file ? std::vector<std::string>{*file} : std::vector<std::string>{};
}

KivErrorChoice KivPromptBackend::ErrorBox(const std::string& text, const std::string& title, bool canDefault,
                                          bool canRetry, bool canBreak) {
    int answer = MessageBox(text, title, KivBox::IconStop | KivBox::AbortRetryIgnore);
    if (answer == KivBox::IdRetry && canRetry)
        return KivErrorChoice::Retry;
    if (answer == KivBox::IdIgnore && canDefault)
        return KivErrorChoice::Default;
    return canBreak ? KivErrorChoice::Break : KivErrorChoice::Quit;
}

int KivDefaultAnswer(uint32_t style) {
    int button = (style & KivBox::DefButton3) ? 2 : (style & KivBox::DefButton2) ? 1 : 0;
    switch (style & KivBox::ButtonMask) {
    case KivBox::OkCancel: {
        const int answers[] = {KivBox::IdOk, KivBox::IdCancel, KivBox::IdCancel};
        return answers[button];
    }
    case KivBox::AbortRetryIgnore: {
        const int answers[] = {KivBox::IdAbort, KivBox::IdRetry, KivBox::IdIgnore};
        return answers[button];
    }
    case KivBox::YesNoCancel: {
        const int answers[] = {KivBox::IdYes, KivBox::IdNo, KivBox::IdCancel};
        return answers[button];
    }
    case KivBox::YesNo: {
        const int answers[] = {KivBox::IdYes, KivBox::IdNo, KivBox::IdNo};
        return answers[button];
    }
    case KivBox::RetryCancel: {
        const int answers[] = {KivBox::IdRetry, KivBox::IdCancel, KivBox::IdCancel};
        return answers[button];
    }
    default:
        return KivBox::IdOk;
    }
}
