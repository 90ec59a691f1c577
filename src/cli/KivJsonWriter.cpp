#include "cli/KivJsonWriter.h"

#include <ostream>

KivJsonWriter& KivJsonWriter::Key(std::string_view key) {
    Separate();
    Quoted(key);
    m_bytes += ": ";
    m_afterKey = true;
    return *this;
}

void KivJsonWriter::Separate() {
    if (m_levels.empty())
        return;
    Level& level = m_levels.back();
    m_bytes += level.count++ == 0 ? "\n" : ",\n";
    m_bytes.append(2 * m_levels.size(), ' ');
}

void KivJsonWriter::Value() {
    if (m_afterKey)
        m_afterKey = false;
    else
        Separate();
}

void KivJsonWriter::Open(char bracket) {
    Value();
    m_bytes += bracket;
    m_levels.push_back({bracket == '{', 0});
}

void KivJsonWriter::Close(char bracket) {
    const bool empty = m_levels.back().count == 0;
    m_levels.pop_back();
    if (!empty) {
        m_bytes += '\n';
        m_bytes.append(2 * m_levels.size(), ' ');
    }
    m_bytes += bracket;
    FlushWhenFull();
}

void KivJsonWriter::String(std::string_view utf8) {
    Value();
    Quoted(utf8);
    FlushWhenFull();
}

void KivJsonWriter::Bool(bool value) {
    Value();
    m_bytes += value ? "true" : "false";
}

void KivJsonWriter::Strings(const std::vector<std::string>& utf8) {
    BeginArray();
    for (const std::string& item : utf8)
        String(item);
    EndArray();
}

void KivJsonWriter::Quoted(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    m_bytes += '"';
    size_t plain = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        m_bytes.append(utf8, plain, i - plain);
        plain = i + 1;
        switch (c) {
        case '"':
            m_bytes += "\\\"";
            break;
        case '\\':
            m_bytes += "\\\\";
            break;
        case '\b':
            m_bytes += "\\b";
            break;
        case '\f':
            m_bytes += "\\f";
            break;
        case '\n':
            m_bytes += "\\n";
            break;
        case '\r':
            m_bytes += "\\r";
            break;
        case '\t':
            m_bytes += "\\t";
            break;
        default:
            m_bytes += "\\u00";
            m_bytes += kHex[c >> 4];
            m_bytes += kHex[c & 0xF];
        }
    }
    m_bytes.append(utf8, plain, utf8.size() - plain);
    m_bytes += '"';
}

void KivJsonWriter::Finish() {
    m_bytes += '\n';
    Flush();
}

void KivJsonWriter::Flush() {
    if (m_bytes.empty())
        return;
    m_out.write(m_bytes.data(), static_cast<std::streamsize>(m_bytes.size()));
    m_bytes.clear();
}
