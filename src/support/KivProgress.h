#pragma once

#include <cstdint>
#include <string>

// What a long loop reports to whoever shows its progress: the progress dialogs in the explorer,
// a console line in kivrepo, nothing at all in tests. A dialog has one or two bars (0 = the
// module bar, 1 = the entity bar of the two-bar export dialog); each bar has a label ("Module :")
// and a text naming the item being worked on.
class KivProgress {
public:
    virtual ~KivProgress() = default;

    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetRange(int bar, uint32_t minimum, uint32_t maximum) = 0;
    virtual void SetPosition(int bar, uint32_t position) = 0;
    virtual void SetText(int bar, const std::string& text) = 0;
    virtual void SetLabel(int bar, const std::string& label) = 0;
    // The waiting message of a reader ("Reading File...", "Please wait...").
    virtual void SetWaitText(const std::string& text) = 0;
    // Lets the display catch up (and, in the explorer, its Cancel button work), then says whether
    // the person asked to stop. Asking does not stop anything by itself: the loop decides.
    virtual bool CancelRequested() = 0;
};

// Reports nowhere and never cancels.
class KivSilentProgress final : public KivProgress {
public:
    void SetCaption(const std::string&) override {}
    void SetRange(int, uint32_t, uint32_t) override {}
    void SetPosition(int, uint32_t) override {}
    void SetText(int, const std::string&) override {}
    void SetLabel(int, const std::string&) override {}
    void SetWaitText(const std::string&) override {}
    bool CancelRequested() override { return false; }
};
