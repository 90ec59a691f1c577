#include "cli/KivConsolePrompt.h"

#include "cli/KivUtf8.h"

int KivConsolePrompt::MessageBox(const std::string& text, const std::string& caption, uint32_t style) {
    const int answer = KivDefaultAnswer(style);
    m_err << KivAnsiToUtf8(caption) << ": " << KivAnsiToUtf8(text);
    if ((style & KivBox::ButtonMask) == KivBox::YesNo)
        m_err << " " << (answer == KivBox::IdYes ? "Yes" : "No");
    m_err << '\n';
    return answer;
}
