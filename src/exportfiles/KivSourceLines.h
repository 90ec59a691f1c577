#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The lines of one source, shared by a PRG reader and its entities. A file's text is kept whole
// and its lines are views into it: a source of hundreds of thousands of lines costs no string
// per line. The object never moves its storage, so the views stay valid as long as it lives.
class KivSourceLines {
public:
    KivSourceLines() = default;
    // A file's text, split as KivSplitFileLines splits it.
    KivSourceLines(std::string text, size_t maximum);
    // Lines already split.
    explicit KivSourceLines(std::vector<std::string> lines);
    KivSourceLines(const KivSourceLines&) = delete;
    KivSourceLines& operator=(const KivSourceLines&) = delete;

    const std::vector<std::string_view>& Lines() const { return m_lines; }
    size_t Count() const { return m_lines.size(); }
    // Every line followed by CR LF.
    std::string TextValue() const;

private:
    std::string m_text;
    std::vector<std::string> m_owned;
    std::vector<std::string_view> m_lines;
};
