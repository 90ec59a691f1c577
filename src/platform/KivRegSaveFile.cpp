#include "platform/KivRegSaveFile.h"

#include "platform/KivRegDefs.h"

#include <array>
#include <set>

namespace {

constexpr std::string_view kMagic = "KIVREGSV";
// depth, last write, name length, value count: the smallest key record.
constexpr size_t kMinKeyRecord = 4 + 8 + 4 + 4;
// name length, type, data length: the smallest value.
constexpr size_t kMinValue = 4 + 4 + 4;

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutU64(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutBytes(std::string& out, std::string_view bytes) {
    PutU32(out, static_cast<uint32_t>(bytes.size()));
    out.append(bytes);
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    size_t Left() const { return m_bytes.size() - m_pos; }

    bool U32(uint32_t& v) { return Little(v); }
    bool U64(uint64_t& v) { return Little(v); }

    // A length-prefixed byte run of at most maxLen bytes.
    bool Bytes(std::string& out, size_t maxLen) {
        uint32_t len = 0;
        if (!U32(len) || len > maxLen || len > Left())
            return false;
        out.assign(m_bytes.substr(m_pos, len));
        m_pos += len;
        return true;
    }

private:
    // An unsigned number stored little-endian.
    template <class T> bool Little(T& v) {
        if (Left() < sizeof(T))
            return false;
        v = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            v |= static_cast<T>(static_cast<unsigned char>(m_bytes[m_pos + i])) << (8 * i);
        m_pos += sizeof(T);
        return true;
    }

    std::string_view m_bytes;
    size_t m_pos = 0;
};

bool Fail(std::string& reason, KivRegSaveFile::Tree& tree, std::string text) {
    reason = std::move(text);
    tree.clear();
    return false;
}

} // namespace

uint32_t KivRegSaveFile::Crc32(std::string_view bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (char ch : bytes)
        crc = table[(crc ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::string KivRegSaveFile::Encode(const Tree& tree) {
    std::string body;
    for (const Key& key : tree) {
        PutU32(body, key.depth);
        PutU64(body, key.lastWrite);
        PutBytes(body, key.name);
        PutU32(body, static_cast<uint32_t>(key.values.size()));
        for (const Value& value : key.values) {
            PutBytes(body, value.name);
            PutU32(body, value.type);
            PutBytes(body, value.data);
        }
    }
    std::string out(kMagic);
    PutU32(out, kVersion);
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(tree.size()));
    PutU32(out, Crc32(body));
    out += body;
    return out;
}

bool KivRegSaveFile::Decode(std::string_view bytes, Tree& tree, std::string& reason) {
    tree.clear();
    if (bytes.size() < kHeaderSize || bytes.substr(0, kMagic.size()) != kMagic)
        return Fail(reason, tree, "not a registry save file");
    Reader header(bytes.substr(kMagic.size(), kHeaderSize - kMagic.size()));
    uint32_t version = 0, flags = 0, keyCount = 0, crc = 0;
    header.U32(version);
    header.U32(flags);
    header.U32(keyCount);
    header.U32(crc);
    if (version != kVersion)
        return Fail(reason, tree, "save file version " + std::to_string(version) + " is not supported");
    if (flags != 0)
        return Fail(reason, tree, "save file has unknown flags");
    std::string_view body = bytes.substr(kHeaderSize);
    if (Crc32(body) != crc)
        return Fail(reason, tree, "save file is damaged (checksum mismatch)");
    if (keyCount == 0 || keyCount > body.size() / kMinKeyRecord)
        return Fail(reason, tree, "save file key count does not fit its size");

    tree.reserve(keyCount);
    Reader in(body);
    // lastSibling[d] is the folded name of the previous key at depth d under the current parent
    // (empty for none yet): siblings must come in enumeration order, which also keeps them unique.
    std::vector<std::string> lastSibling(1);
    for (uint32_t i = 0; i < keyCount; ++i) {
        Key key;
        if (!in.U32(key.depth) || !in.U64(key.lastWrite))
            return Fail(reason, tree, "save file ends inside a key record");
        const uint32_t deepest = i == 0 ? 0 : tree.back().depth + 1;
        if ((i > 0 && key.depth == 0) || key.depth > deepest || key.depth > kiv::reg::kMaxDepth)
            return Fail(reason, tree, "save file has a key record out of place");
        if (!in.Bytes(key.name, kiv::reg::kMaxKeyNameLen))
            return Fail(reason, tree, "save file has a key name past its end or too long");
        if (i > 0) {
            if (key.name.empty() || key.name.find('\\') != std::string::npos)
                return Fail(reason, tree, "save file has an invalid key name");
            std::string fold = kiv::reg::Fold(key.name);
            if (fold <= lastSibling[key.depth])
                return Fail(reason, tree, "save file has subkeys out of order or of one name");
            lastSibling[key.depth] = std::move(fold);
        }
        lastSibling.resize(key.depth + 1);
        lastSibling.emplace_back();

        uint32_t valueCount = 0;
        if (!in.U32(valueCount) || valueCount > in.Left() / kMinValue)
            return Fail(reason, tree, "save file value count does not fit its size");
        key.values.reserve(valueCount);
        std::set<std::string> valueNames;
        for (uint32_t v = 0; v < valueCount; ++v) {
            Value value;
            if (!in.Bytes(value.name, kiv::reg::kMaxValueNameLen) || !in.U32(value.type) ||
                !in.Bytes(value.data, in.Left()))
                return Fail(reason, tree, "save file has a value past its end");
            if (!valueNames.insert(kiv::reg::Fold(value.name)).second)
                return Fail(reason, tree, "save file has two values of one name in a key");
            key.values.push_back(std::move(value));
        }
        tree.push_back(std::move(key));
    }
    if (in.Left() != 0)
        return Fail(reason, tree, "save file has bytes after its last key");
    reason.clear();
    return true;
}
