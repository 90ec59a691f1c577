#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The text of an INI file, held line by line so that writing it back gives every byte that was
// read: comments, blank lines, stray text, binary bytes, the line ends each line had and a last
// line without one. Only the lines that a change touches are rewritten.
//
// How lines are read:
// - A line ends at LF; a CR right before the LF belongs to the line end. Any other byte,
//   NUL and lone CR included, is text. Lines have no length limit.
// - A UTF-8 byte order mark at the start of the file is kept but not taken as text.
// - A line whose first non-blank character is ";" is a comment; an empty or all-blank line is
//   blank. Both are kept and ignored.
// - A line whose first non-blank character is "[" and that holds a "]" after it starts a
//   section; the name is the text up to the last "]", blanks around it removed. Text after the
//   "]" is ignored.
// - Any other line holding "=" is an entry: the key is the text before the first "=", blanks
//   around it removed; the value is everything after it, as it stands. A line without "="
//   is kept and ignored.
// - Section and key names match without regard to ASCII case. When a section name occurs
//   twice, the first occurrence is the section and the others are kept but never read; the
//   same holds for a key that occurs twice in a section. Entries before the first section
//   belong to no section and are kept.
class KivIniDocument {
public:
    enum class Change { Unchanged, Changed, Refused };

    KivIniDocument() = default;
    explicit KivIniDocument(std::string_view bytes) { Parse(bytes); }

    void Parse(std::string_view bytes);
    // The file's bytes, as read with the changes made since.
    std::string Text() const;

    // Every section name once, in file order, spelled as its first occurrence.
    std::vector<std::string> Sections() const;
    // Every key of the section once, in file order; empty for a missing section.
    std::vector<std::string> Entries(std::string_view section) const;
    // The value as the file holds it; valid until the next change.
    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;

    // Whether the names and the value can be written as one entry that reads back the same:
    // no line breaks anywhere, a key that is not empty and holds no "=" and does not start
    // like a section or a comment.
    static bool CanStore(std::string_view section, std::string_view key, std::string_view value);

    // Sets the value, creating the section (at the end of the file) and the key (after the
    // section's last entry) when they are missing. New lines end in CR LF.
    Change SetValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes every occurrence of the section with all its lines.
    Change DeleteSection(std::string_view section);
    // Removes every line of the key from the section.
    Change DeleteEntry(std::string_view section, std::string_view key);

private:
    enum class Kind : uint8_t { Other, Blank, Comment, Section, Entry };
    enum class Eol : uint8_t { None, Lf, CrLf };

    struct Line {
        std::string text;
        Eol eol = Eol::None;
        Kind kind = Kind::Other;
        // The section name or the key: text[nameBegin, nameEnd). For an entry the value starts
        // at valueBegin, right after the "=".
        size_t nameBegin = 0;
        size_t nameEnd = 0;
        size_t valueBegin = 0;
    };

    struct SectionRange {
        size_t header = 0; // line of the "[name]"
        size_t end = 0;    // line after its last line
    };

    static void Classify(Line& line);
    static std::string_view Name(const Line& line);
    static std::string EntryKey(std::string_view section, std::string_view key);
    void Reindex();
    const SectionRange* FindSection(std::string_view section) const;
    std::optional<size_t> FindEntry(std::string_view section, std::string_view key) const;
    void InsertLine(size_t at, std::string text);

    bool m_byteOrderMark = false;
    std::vector<Line> m_lines;
    // Every section occurrence in file order, and the first occurrence of each name.
    std::vector<SectionRange> m_sections;
    std::unordered_map<std::string, size_t> m_sectionIndex;
    // The line of the first occurrence of each key in the first occurrence of each section,
    // by lower-case section name, LF, lower-case key (no name can hold a LF).
    std::unordered_map<std::string, size_t> m_entryIndex;
};
