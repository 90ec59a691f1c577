#pragma once

#include <concepts>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// Writes one JSON document as it is walked, in the layout kivrepo has always printed (two spaces
// per level, "key": value, [] and {} when empty), so that memory stays flat however long the
// document. Strings must be UTF-8; they are escaped as JSON needs and nothing more. The bytes go
// to the stream in large blocks; Finish ends the document with a new line.
class KivJsonWriter {
public:
    explicit KivJsonWriter(std::ostream& out) : m_out(out) {}
    KivJsonWriter(const KivJsonWriter&) = delete;
    KivJsonWriter& operator=(const KivJsonWriter&) = delete;
    ~KivJsonWriter() { Flush(); }

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    // The key of the next value inside an object.
    KivJsonWriter& Key(std::string_view key);

    void String(std::string_view utf8);
    void Bool(bool value);
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    void Number(T value) {
        Value();
        m_bytes += std::to_string(value);
        FlushWhenFull();
    }
    void Strings(const std::vector<std::string>& utf8);

    // Members of an object: the key, then the value.
    void String(std::string_view key, std::string_view utf8) { Key(key).String(utf8); }
    void Bool(std::string_view key, bool value) { Key(key).Bool(value); }
    template <std::integral T> void Number(std::string_view key, T value) { Key(key).Number(value); }

    // The new line after the document, and everything out to the stream.
    void Finish();
    void Flush();

private:
    struct Level {
        bool object;
        size_t count;
    };

    void Open(char bracket);
    void Close(char bracket);
    // Before a value: the separator and indentation an array element needs (a member's were
    // written with its key).
    void Value();
    void Separate();
    void Quoted(std::string_view utf8);
    void FlushWhenFull() {
        if (m_bytes.size() >= kBlock)
            Flush();
    }

    static constexpr size_t kBlock = 1 << 16;
    std::ostream& m_out;
    std::string m_bytes;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
};
