#pragma once

#include "platform/KivRegDefs.h"
#include "support/KivConfigFile.h"
#include "support/KivRegKeyInfo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class KivFileBin;
class KivFileSpec;
class KivRegistryStore;

// A registry key seen as a configuration file: a section is a subkey below the object's key (a
// path, "A\B" reaches two levels down), an entry is a named value. Every operation opens the key
// it needs in the registry store of the platform home, works and lets it go; the object keeps
// only its root, its key path and the result of its last store call (LastError). Nothing throws:
// a failure leaves LastError non-zero and gives false, an empty result or the default.
//
// Reading a missing value creates it with the default, so a settings key fills itself with the
// values the program looked for.
class KivRegistry : public KivConfigFile {
public:
    // The longest text WriteString stores, without its terminating zero byte.
    static constexpr size_t kMaxString = 2048;
    // ERROR_MORE_DATA: GetData's buffer is smaller than the value.
    static constexpr uint32_t kMoreData = 234;

    KivRegistry() = default;
    explicit KivRegistry(std::string_view subKey, kiv::reg::HKey root = kiv::reg::kLocalMachine);

    void Init(std::string_view subKey, kiv::reg::HKey root = kiv::reg::kLocalMachine);

    // One of the four roots; assigning anything else changes nothing.
    kiv::reg::HKey UseKey() const { return m_useKey; }
    kiv::reg::HKey UseKey(kiv::reg::HKey root);
    // The key path below the root; assigning trims blanks and drops one leading backslash.
    std::string SubKey() const { return m_subKey; }
    std::string SubKey(std::string_view subKey);
    uint32_t LastError() const { return m_lastError; }
    // "HKEY_CURRENT_USER" and its kind for the four roots.
    std::string UseKeyString() const;
    std::string FileName() const { return m_subKey; }
    // The number of backslashes in SubKey.
    int KeyLevel() const;
    // The key a section names: SubKey, or SubKey + "\" + section (the section alone when SubKey
    // is empty, which is the root itself).
    std::string BuildSubKey(std::string_view section) const;

    std::string GetString(std::string_view section, std::string_view entry,
                          std::string_view defaultValue = " ") override;
    // REG_SZ with its terminating zero byte; the text is cut to kMaxString bytes.
    bool WriteString(std::string_view section, std::string_view entry, std::string_view value) override;
    int32_t GetInt(std::string_view section, std::string_view entry, int32_t defaultValue = 0) override;
    // REG_DWORD, four bytes.
    bool WriteInt(std::string_view section, std::string_view entry, int32_t value) override;
    // Names of the subkeys, in the store's order (alphabetical, ignoring case).
    std::vector<std::string> GetSections(std::string_view section = {}) override;
    // Names of the values, in the order they were created.
    std::vector<std::string> GetEntries(std::string_view section) override;
    // Every string value (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) as GetString gives it and every
    // DWORD as GetInt gives it; values of other types are left out.
    std::vector<std::pair<std::string, KivUsual>> GetSection(std::string_view section) override;
    // Removes the key with everything below it in one step. A root cannot be removed: false,
    // nothing deleted.
    bool DeleteSection(std::string_view section) override;
    bool DeleteEntry(std::string_view section, std::string_view entry) override;

    // Virtual operations of the registry in their fixed order.
    virtual KivRegKeyInfo KeyInfo();

protected:
    virtual uint32_t _CloseKey(kiv::reg::HKey key);
    // Copies every value of one open key into another, types and bytes as they are.
    virtual bool _CopyValues(kiv::reg::HKey source, kiv::reg::HKey target);
    virtual uint32_t _CreateKey(std::string_view section, kiv::reg::HKey& key);
    // One line of a REGEDIT4 file for the value, without its line end; empty when the value
    // cannot be read.
    virtual std::string _ExportEntryToString(std::string_view section, std::string_view entry);
    // The key's block: its name in brackets, a line per value, an empty line.
    virtual bool _ExportSectionToFile(std::string_view section, KivFileBin& file);
    virtual KivRegKeyInfo _GetKeyInfo(std::string_view section);
    virtual uint32_t _OpenKey(std::string_view section, kiv::reg::HKey& key);

public:
    // A REG_MULTI_SZ value split at its zero bytes, up to the first empty string. A missing
    // value is created with the default; a value of another type gives the default and stays.
    std::vector<std::string> GetStringArray(std::string_view section, std::string_view entry,
                                            const std::vector<std::string>& defaultValue = {});
    // REG_MULTI_SZ: each string and a zero byte, then one more zero byte.
    bool WriteStringArray(std::string_view section, std::string_view entry,
                          const std::vector<std::string>& values);

    // Raw access. The type (REG_NONE when unreadable) and size (0) of a value; GetData copies the
    // bytes when the buffer holds them all, else sets kMoreData and copies nothing.
    uint32_t GetDataType(std::string_view section, std::string_view entry);
    uint32_t GetDataSize(std::string_view section, std::string_view entry);
    bool GetData(std::string_view section, std::string_view entry, void* buffer, uint32_t size);
    bool GetData(std::string_view section, std::string_view entry, std::string& data, uint32_t& type);
    bool PutData(std::string_view section, std::string_view entry, const void* buffer, uint32_t size,
                 uint32_t type);

    bool KeyExist(std::string_view section);
    bool EntryExist(std::string_view section, std::string_view entry);
    bool DeleteEntries(std::string_view section);

    // Where a copy or a move goes: another object's key, or the named subkey of this object's
    // key (created when missing).
    class Target {
    public:
        Target(const KivRegistry& registry) : m_registry(&registry) {}
        Target(std::string_view section) : m_section(section) {}
        Target(const char* section) : m_section(section) {}
        Target(const std::string& section) : m_section(section) {}

    private:
        friend class KivRegistry;
        const KivRegistry* m_registry = nullptr;
        std::string_view m_section;
    };

    // Copies into the target; copying a key onto itself changes nothing and succeeds. A section
    // copy merges the key's values and subkeys into the target key; CopySections copies each
    // subkey of the section, with its name, below the target key.
    bool CopyEntry(std::string_view section, std::string_view entry, const Target& target);
    bool CopyEntries(std::string_view section, const Target& target);
    bool CopySection(std::string_view section, const Target& target);
    bool CopySections(std::string_view section, const Target& target);
    // The copies, then the source removed; a source that was not copied whole stays, and moving
    // a key onto itself changes nothing. A key cannot move into its own subtree.
    bool MoveEntry(std::string_view section, std::string_view entry, const Target& target);
    bool MoveEntries(std::string_view section, const Target& target);
    bool MoveSection(std::string_view section, const Target& target);
    bool MoveSections(std::string_view section, const Target& target);

    std::shared_ptr<KivRegistry> CloneSelf() const;
    std::shared_ptr<KivRegistry> CreateSubKeyObject(std::string_view section) const;
    // Walk the object down to a subkey, or up count levels (nothing when count is above
    // KeyLevel); both give the new SubKey.
    std::string MoveDownTo(std::string_view section);
    std::string MoveUpTo(int count = 1);

    // The key and everything below it, in the store's own file form. SaveKey replaces an existing
    // file only once the new one is complete.
    bool SaveKey(std::string_view section, std::string_view fileName);
    // Replaces the key's content with a saved file's.
    bool RestoreKey(std::string_view section, std::string_view fileName);
    // Makes the store replace the key's content with the new file's at its next start, keeping
    // the present content in the old file (a temporary "Kiv" file, erased afterwards, when no old
    // file is named).
    bool ReplaceKey(std::string_view section, std::string_view newFileName,
                    std::string_view oldFileName = {});

    // The key and its subkeys as a REGEDIT4 text file. A missing key writes nothing and gives
    // false. A named file is written whole beside its place and then put there, so a failed
    // export leaves the old file (or none); an open file gets the blocks at its position.
    bool ExportToFile(std::string_view section, std::string_view fileName);
    bool ExportToFile(std::string_view section, const KivFileSpec& fileSpec);
    bool ExportToFile(std::string_view section, KivFileBin& file);

private:
    // The process's registry store, opened on first use; null (LastError set) when it cannot be.
    KivRegistryStore* Store();
    bool Check(uint32_t code);
    // The target's key, opened or created.
    uint32_t TargetKey(const Target& target, kiv::reg::HKey& key);
    // The root and key path of the target.
    std::pair<kiv::reg::HKey, std::string> TargetPath(const Target& target) const;
    bool CopyEntryTo(std::string_view section, std::string_view entry, const Target& target, bool move);
    bool CopyEntriesTo(std::string_view section, const Target& target, bool move);
    bool CopySectionTo(std::string_view section, const Target& target, bool move);
    bool CopySectionsTo(std::string_view section, const Target& target, bool move);
    // Hands the bytes to the sink in blocks; the sink answers an error number.
    using ExportSink = std::function<uint32_t(std::string_view)>;
    bool ExportTree(const std::string& section, const ExportSink& sink);
    bool ExportNewFile(std::string_view section, const KivFileSpec& fileSpec);

    kiv::reg::HKey m_useKey = kiv::reg::kLocalMachine;
    std::string m_subKey;
    uint32_t m_lastError = 0;
};
