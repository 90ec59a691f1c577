#include "cli/KivConsolePrompt.h"

#include "platform/KivUtf8.h"

int KivConsolePrompt::MessageBox(const std::string& text, const std::string& caption, uint32_t style) {
    std::string line = text;
    for (size_t at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n", at))
        line.replace(at, 2, " ");
    m_err << KivAnsiToUtf8(caption) << ": " << KivAnsiToUtf8(line);
    int answer = KivDefaultAnswer(style);
    if ((style & KivBox::ButtonMask) == KivBox::YesNo) {
        if (m_yes)
            answer = *m_yes ? KivBox::IdYes : KivBox::IdNo;
        m_err << (answer == KivBox::IdYes ? " Yes" : " No");
    }
    m_err << '\n';
    return answer;
}
