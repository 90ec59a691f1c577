#include "exportfiles/KivSourceLines.h"

#include "exportfiles/KivPrgScan.h"

KivSourceLines::KivSourceLines(std::string text, size_t maximum) : m_text(std::move(text)) {
    m_lines = KivSplitFileLines(m_text, maximum);
}

KivSourceLines::KivSourceLines(std::vector<std::string> lines) : m_owned(std::move(lines)) {
    m_lines.reserve(m_owned.size());
    for (const std::string& line : m_owned)
        m_lines.emplace_back(line);
}

std::string KivSourceLines::TextValue() const {
    size_t size = 0;
    for (std::string_view line : m_lines)
        size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (std::string_view line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}
