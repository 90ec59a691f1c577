// Restores any bytes as a registry save file into a private store. What is accepted must come
// back from a save exactly; what is refused must leave the key as it was.
#include "platform/KivRegSaveFile.h"
#include "platform/KivRegistryStore.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok) {
    if (!ok)
        abort();
}

// The tree without the top key's own name and time, which a restore does not take over.
KivRegSaveFile::Tree Content(std::string_view bytes) {
    KivRegSaveFile::Tree tree;
    std::string reason;
    Check(KivRegSaveFile::Decode(bytes, tree, reason));
    tree[0].name.clear();
    tree[0].lastWrite = 0;
    return tree;
}

void RestoreAndCompare(KivRegistryStore& store, kiv::reg::HKey key, std::string_view bytes) {
    std::string before;
    Check(store.SaveKeyToBytes(key, before) == kiv::reg::kSuccess);
    KivRegSaveFile::Tree tree;
    std::string reason;
    const bool accepted = KivRegSaveFile::Decode(bytes, tree, reason);
    const uint32_t rc = store.RestoreKeyFromBytes(key, bytes);
    std::string after;
    Check(store.SaveKeyToBytes(key, after) == kiv::reg::kSuccess);
    if (!accepted) {
        Check(rc == kiv::reg::kNotRegistryFile);
        Check(after == before);
        return;
    }
    // The key sits two levels down, so a sound file may still nest too deep for it.
    uint32_t deepest = 0;
    for (const KivRegSaveFile::Key& k : tree)
        deepest = std::max(deepest, k.depth);
    if (deepest + 2 > kiv::reg::kMaxDepth) {
        Check(rc == kiv::reg::kInvalidParameter);
        Check(after == before);
        return;
    }
    Check(rc == kiv::reg::kSuccess);
    Check(Content(after) == Content(bytes));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static KivRegistryStore* store = [] {
        auto* s = new KivRegistryStore;
        Check(s->Open(":memory:") == kiv::reg::kSuccess);
        return s;
    }();
    static const kiv::reg::HKey key = [] {
        kiv::reg::HKey k = 0;
        Check(store->CreateKey(kiv::reg::kCurrentUser, "Software\\Fuzz", k) == kiv::reg::kSuccess);
        return k;
    }();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    RestoreAndCompare(*store, key, bytes);
    // Again with the checksum made right, so that the mutations reach the records behind it.
    if (bytes.size() >= KivRegSaveFile::kHeaderSize) {
        const uint32_t crc =
            KivRegSaveFile::Crc32(std::string_view(bytes).substr(KivRegSaveFile::kHeaderSize));
        for (int i = 0; i < 4; ++i)
            bytes[20 + i] = static_cast<char>(crc >> (8 * i));
        RestoreAndCompare(*store, key, bytes);
    }
    return 0;
}
