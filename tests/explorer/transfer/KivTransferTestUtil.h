#pragma once

#include "support/KivProgress.h"

#include <cstdint>
#include <string>
#include <vector>

// A progress sink for the transfer tests: records what the loop reported and asks to stop at the
// n-th question (counting from 1; 0 never).
class KivCountingProgress final : public KivProgress {
public:
    explicit KivCountingProgress(int cancelAt = 0) : m_cancelAt(cancelAt) {}

    void SetCaption(const std::string&) override {}
    void SetRange(int bar, uint32_t minimum, uint32_t maximum) override {
        ranges.push_back(std::to_string(bar) + ":" + std::to_string(minimum) + "-" + std::to_string(maximum));
    }
    void SetPosition(int, uint32_t) override {}
    void SetText(int bar, const std::string& text) override {
        texts.push_back(std::to_string(bar) + ":" + text);
    }
    void SetLabel(int, const std::string&) override {}
    void SetWaitText(const std::string&) override {}
    bool CancelRequested() override { return ++m_asked == m_cancelAt; }

    std::vector<std::string> ranges;
    std::vector<std::string> texts;

private:
    int m_cancelAt;
    int m_asked = 0;
};
