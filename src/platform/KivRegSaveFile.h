#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The file form in which the registry store saves one key with everything below it (SaveKey)
// and loads it back (RestoreKey, ReplaceKey). All numbers are little-endian.
//
//   offset size  field
//   0      8     magic "KIVREGSV"
//   8      4     format version: 1
//   12     4     flags: 0 (a reader refuses anything else)
//   16     4     number of key records, at least 1
//   20     4     CRC-32 (the polynomial of zip and PNG) of every byte after offset 24
//   24     ...   the key records, in pre-order: a key, then each of its subkeys with their own
//                subkeys; siblings in the store's enumeration order, that is strictly ascending
//                by their names' bytes with ASCII letters upper-cased
//
// Key record:
//   u32 depth       0 for the first record (the saved key itself), then between 1 and the
//                   previous record's depth + 1; the parent is the last record one level up
//   u64 last write  FILETIME (100 ns units since 1601-01-01 UTC)
//   u32 length, name bytes   at most 255 bytes; below the first record not empty and without
//                   a backslash
//   u32 value count
//   per value, in creation order:
//     u32 length, name bytes  at most 16383 bytes, unique in the key ignoring ASCII case;
//                             the default value has the empty name
//     u32 type                the registry type number, any value
//     u32 length, data bytes  kept exactly
//
// The file ends right after the last record. A file that breaks any rule above, or whose depth
// goes past 512 levels, is refused as a whole; a newer version is refused, not guessed at.
class KivRegSaveFile {
public:
    struct Value {
        std::string name;
        uint32_t type = 0;
        std::string data;
        friend bool operator==(const Value&, const Value&) = default;
    };
    struct Key {
        uint32_t depth = 0;
        uint64_t lastWrite = 0;
        std::string name;
        std::vector<Value> values;
        friend bool operator==(const Key&, const Key&) = default;
    };
    // A key and its subtree as key records in pre-order, as in the file.
    using Tree = std::vector<Key>;

    static constexpr uint32_t kVersion = 1;
    static constexpr size_t kHeaderSize = 24;

    // The file's bytes. The tree must keep the rules above (the store's trees do).
    static std::string Encode(const Tree& tree);

    // Reads a file's bytes into the tree. False, with the reason in plain words, when the bytes
    // are not a sound save file; the tree is then empty.
    static bool Decode(std::string_view bytes, Tree& tree, std::string& reason);

    static uint32_t Crc32(std::string_view bytes);
};
