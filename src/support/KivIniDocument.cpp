#include "support/KivIniDocument.h"

#include "support/KivStringUtil.h"

#include <algorithm>

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view TrimName(std::string_view name) {
    size_t begin = name.find_first_not_of(kBlanks);
    if (begin == std::string_view::npos)
        return {};
    size_t end = name.find_last_not_of(kBlanks);
    return name.substr(begin, end - begin + 1);
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

void KivIniDocument::Parse(std::string_view bytes) {
    m_lines.clear();
    // The mark stays out of the first line, so that no change to that line can lose it.
    m_byteOrderMark = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    size_t pos = m_byteOrderMark ? kByteOrderMark.size() : 0;
    while (pos < bytes.size()) {
        Line line;
        size_t lf = bytes.find('\n', pos);
        size_t end = lf == std::string_view::npos ? bytes.size() : lf;
        if (lf != std::string_view::npos) {
            line.eol = Eol::Lf;
            if (end > pos && bytes[end - 1] == '\r') {
                --end;
                line.eol = Eol::CrLf;
            }
        }
        line.text.assign(bytes.substr(pos, end - pos));
        Classify(line);
        m_lines.push_back(std::move(line));
        pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
    }
    Reindex();
}

std::string KivIniDocument::Text() const {
    size_t size = 0;
    for (const Line& line : m_lines)
        size += line.text.size() + 2;
    std::string out;
    out.reserve(size + kByteOrderMark.size());
    if (m_byteOrderMark)
        out += kByteOrderMark;
    for (const Line& line : m_lines) {
        out += line.text;
        if (line.eol == Eol::CrLf)
            out += "\r\n";
        else if (line.eol == Eol::Lf)
            out += '\n';
    }
    return out;
}

void KivIniDocument::Classify(Line& line) {
    std::string_view text = line.text;
    size_t first = text.find_first_not_of(kBlanks);
    line.kind = Kind::Other;
    if (first == std::string_view::npos) {
        line.kind = Kind::Blank;
        return;
    }
    size_t begin = 0;
    size_t end = 0;
    if (text[first] == ';') {
        line.kind = Kind::Comment;
        return;
    }
    if (size_t close = text.rfind(']');
        text[first] == '[' && close != std::string_view::npos && close > first) {
        line.kind = Kind::Section;
        begin = first + 1;
        end = close;
    } else if (size_t eq = text.find('=', first); eq != std::string_view::npos) {
        line.kind = Kind::Entry;
        begin = first;
        end = eq;
        line.valueBegin = eq + 1;
    } else {
        return;
    }
    while (begin < end && kBlanks.find(text[begin]) != std::string_view::npos)
        ++begin;
    while (end > begin && kBlanks.find(text[end - 1]) != std::string_view::npos)
        --end;
    line.nameBegin = begin;
    line.nameEnd = end;
}

std::string_view KivIniDocument::Name(const Line& line) {
    return std::string_view(line.text).substr(line.nameBegin, line.nameEnd - line.nameBegin);
}

std::string KivIniDocument::EntryKey(std::string_view section, std::string_view key) {
    std::string out = KivLower(TrimName(section));
    out += '\n';
    out += KivLower(TrimName(key));
    return out;
}

void KivIniDocument::Reindex() {
    m_sections.clear();
    m_sectionIndex.clear();
    m_entryIndex.clear();
    m_entryIndex.reserve(m_lines.size());
    std::string current;
    bool currentIsFirst = false;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Section) {
            if (!m_sections.empty())
                m_sections.back().end = i;
            m_sections.push_back({i, m_lines.size()});
            current = KivLower(Name(line));
            currentIsFirst = m_sectionIndex.emplace(current, m_sections.size() - 1).second;
        } else if (line.kind == Kind::Entry && currentIsFirst) {
            std::string key = current;
            key += '\n';
            key += KivLower(Name(line));
            m_entryIndex.emplace(std::move(key), i);
        }
    }
}

const KivIniDocument::SectionRange* KivIniDocument::FindSection(std::string_view section) const {
    auto it = m_sectionIndex.find(KivLower(TrimName(section)));
    return it == m_sectionIndex.end() ? nullptr : &m_sections[it->second];
}

std::optional<size_t> KivIniDocument::FindEntry(std::string_view section, std::string_view key) const {
    auto it = m_entryIndex.find(EntryKey(section, key));
    if (it == m_entryIndex.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::string> KivIniDocument::Sections() const {
    std::vector<std::string> out;
    for (size_t i = 0; i < m_sections.size(); ++i) {
        std::string_view name = Name(m_lines[m_sections[i].header]);
        if (m_sectionIndex.at(KivLower(name)) == i)
            out.emplace_back(name);
    }
    return out;
}

std::vector<std::string> KivIniDocument::Entries(std::string_view section) const {
    std::vector<std::string> out;
    const SectionRange* range = FindSection(section);
    if (!range)
        return out;
    std::string sectionKey = KivLower(TrimName(section)) + '\n';
    for (size_t i = range->header + 1; i < range->end; ++i) {
        const Line& line = m_lines[i];
        if (line.kind != Kind::Entry)
            continue;
        auto it = m_entryIndex.find(sectionKey + KivLower(Name(line)));
        if (it != m_entryIndex.end() && it->second == i)
            out.emplace_back(Name(line));
    }
    return out;
}

std::optional<std::string_view> KivIniDocument::Value(std::string_view section, std::string_view key) const {
    auto line = FindEntry(section, key);
    if (!line)
        return std::nullopt;
    return std::string_view(m_lines[*line].text).substr(m_lines[*line].valueBegin);
}

bool KivIniDocument::CanStore(std::string_view section, std::string_view key, std::string_view value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return false;
    std::string_view name = TrimName(key);
    return !name.empty() && name.find('=') == std::string_view::npos && name.front() != '[' &&
           name.front() != ';';
}

void KivIniDocument::InsertLine(size_t at, std::string text) {
    // Only the last line can lack a line end; the new line must not run on from it.
    if (at > 0 && m_lines[at - 1].eol == Eol::None)
        m_lines[at - 1].eol = Eol::CrLf;
    Line line;
    line.text = std::move(text);
    line.eol = Eol::CrLf;
    Classify(line);
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

KivIniDocument::Change KivIniDocument::SetValue(std::string_view section, std::string_view key,
                                                std::string_view value) {
    if (!CanStore(section, key, value))
        return Change::Refused;
    if (auto at = FindEntry(section, key)) {
        Line& line = m_lines[*at];
        if (std::string_view(line.text).substr(line.valueBegin) == value)
            return Change::Unchanged;
        line.text.replace(line.valueBegin, std::string::npos, value);
        return Change::Changed;
    }
    std::string entry(TrimName(key));
    entry += '=';
    entry += value;
    if (const SectionRange* range = FindSection(section)) {
        size_t at = range->header + 1;
        for (size_t i = at; i < range->end; ++i)
            if (m_lines[i].kind == Kind::Entry)
                at = i + 1;
        InsertLine(at, std::move(entry));
    } else {
        std::string header = "[";
        header += TrimName(section);
        header += ']';
        InsertLine(m_lines.size(), std::move(header));
        InsertLine(m_lines.size(), std::move(entry));
    }
    Reindex();
    return Change::Changed;
}

KivIniDocument::Change KivIniDocument::DeleteSection(std::string_view section) {
    std::string name = KivLower(TrimName(section));
    bool changed = false;
    for (size_t i = m_sections.size(); i-- > 0;) {
        const SectionRange& range = m_sections[i];
        if (KivLower(Name(m_lines[range.header])) != name)
            continue;
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(range.header),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(range.end));
        changed = true;
    }
    if (!changed)
        return Change::Unchanged;
    Reindex();
    return Change::Changed;
}

KivIniDocument::Change KivIniDocument::DeleteEntry(std::string_view section, std::string_view key) {
    const SectionRange* range = FindSection(section);
    if (!range)
        return Change::Unchanged;
    std::string name = KivLower(TrimName(key));
    bool changed = false;
    for (size_t i = range->end; i-- > range->header + 1;) {
        if (m_lines[i].kind == Kind::Entry && KivLower(Name(m_lines[i])) == name) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
            changed = true;
        }
    }
    if (!changed)
        return Change::Unchanged;
    Reindex();
    return Change::Changed;
}
