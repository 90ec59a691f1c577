#pragma once

#include "platform/KivRegDefs.h"
#include "platform/KivRegSaveFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The registry the IDE and this program share, kept in one SQLite file in the platform home
// (registry.db). It follows the Windows registry's model: four independent roots (classes root,
// current user, local machine, users), keys and value names compared ignoring ASCII case but
// stored as written, subkeys enumerated in the order of their upper-cased bytes, values in the
// order they were created, each value with its type number and its bytes exactly.
//
// The calls follow the Win32 registry functions: each returns a Windows error number (0 for
// success, kiv::reg::kFileNotFound for a missing key or value, ...). Key paths are relative to a
// handle (a root or an opened key), components separated by backslashes; an empty path is the
// handle's own key. Handles need no closing: they hold nothing but the key's number, and a
// handle whose key was deleted meanwhile answers kKeyDeleted.
//
// Several processes may use one store at once: each change is one transaction that waits for
// the others' (up to a timeout) instead of failing, and a process that dies mid-change leaves
// the store as it was before that change. One object serves one thread.
class KivRegistryStore {
public:
    struct KeyInfo {
        uint32_t subKeys = 0;
        uint32_t maxSubKeyLen = 0; // bytes of the longest subkey name
        uint32_t values = 0;
        uint32_t maxValueNameLen = 0; // bytes of the longest value name
        uint32_t maxValueLen = 0;     // bytes of the longest value data
        uint64_t lastWriteTime = 0;   // FILETIME, UTC
    };

    KivRegistryStore();
    ~KivRegistryStore();
    KivRegistryStore(const KivRegistryStore&) = delete;
    KivRegistryStore& operator=(const KivRegistryStore&) = delete;

    // The store file of the platform home.
    static std::filesystem::path DefaultPath();

    // Opens (creating when missing) the store of the platform home, or the given file
    // (":memory:" gives a private store that lives as long as the object). Also carries out the
    // replacements that ReplaceKey scheduled for the next start.
    uint32_t Open();
    uint32_t Open(const std::filesystem::path& file);
    void Close();
    bool IsOpen() const { return m_db != nullptr; }

    // Plain words about the last failure (the database's message, or what is wrong with a save
    // file); empty after a success.
    const std::string& ErrorText() const { return m_errorText; }

    uint32_t OpenKey(kiv::reg::HKey key, std::string_view subKey, kiv::reg::HKey& result);
    // Opens the key, creating it and any missing key on its path; created tells which.
    uint32_t CreateKey(kiv::reg::HKey key, std::string_view subKey, kiv::reg::HKey& result,
                       bool* created = nullptr);
    // Nothing to release; answers kInvalidHandle for a number the store never gives out.
    uint32_t CloseKey(kiv::reg::HKey key) const;

    // The index-th subkey name (kNoMoreItems past the last), and all of them at once.
    uint32_t EnumKey(kiv::reg::HKey key, uint32_t index, std::string& name);
    uint32_t SubKeyNames(kiv::reg::HKey key, std::vector<std::string>& names);
    // The index-th value (kNoMoreItems past the last), and all value names at once.
    uint32_t EnumValue(kiv::reg::HKey key, uint32_t index, std::string& name, uint32_t& type,
                       std::string& data);
    uint32_t ValueNames(kiv::reg::HKey key, std::vector<std::string>& names);

    uint32_t QueryValue(kiv::reg::HKey key, std::string_view name, uint32_t& type, std::string& data);
    // Creates the value, or replaces the type and data of the one of that name (which keeps the
    // case it was created with and its place in the enumeration).
    uint32_t SetValue(kiv::reg::HKey key, std::string_view name, uint32_t type, std::string_view data);
    uint32_t DeleteValue(kiv::reg::HKey key, std::string_view name);

    // Deletes a key that has no subkeys (kAccessDenied when it has some, or is a root).
    uint32_t DeleteKey(kiv::reg::HKey key, std::string_view subKey);
    // Deletes a key with everything below it; with an empty path the key itself stays, emptied
    // of its values and subkeys (as RegDeleteTree does).
    uint32_t DeleteTree(kiv::reg::HKey key, std::string_view subKey);

    uint32_t QueryInfoKey(kiv::reg::HKey key, KeyInfo& info);

    // Copies the values and subkeys of the source key into the target key (created when
    // missing), replacing values of the same name and keeping what else the target holds.
    // Copying a key into itself changes nothing; into its own subtree copies what was there
    // before the call.
    uint32_t CopyTree(kiv::reg::HKey source, std::string_view sourcePath, kiv::reg::HKey target,
                      std::string_view targetPath);
    // CopyTree, then DeleteTree of the source, in one transaction. Moving a key onto itself
    // changes nothing; moving it into its own subtree is refused (kInvalidParameter).
    uint32_t MoveTree(kiv::reg::HKey source, std::string_view sourcePath, kiv::reg::HKey target,
                      std::string_view targetPath);

    // Writes the key and its subtree to a new file in the store's save form (KivRegSaveFile);
    // kAlreadyExists when the file exists. A failed save leaves no file behind.
    uint32_t SaveKey(kiv::reg::HKey key, const std::filesystem::path& file);
    // Replaces the key's values and subkeys with a save file's content, in one transaction;
    // kNotRegistryFile (and nothing changed) when the file is damaged.
    uint32_t RestoreKey(kiv::reg::HKey key, const std::filesystem::path& file);
    // Saves the key's present content to oldFile (overwritten), and makes the store replace the
    // key's content with newFile's, as it is now, when it is next opened.
    uint32_t ReplaceKey(kiv::reg::HKey key, const std::filesystem::path& newFile,
                        const std::filesystem::path& oldFile);
    // SaveKey and RestoreKey without a file.
    uint32_t SaveKeyToBytes(kiv::reg::HKey key, std::string& bytes);
    uint32_t RestoreKeyFromBytes(kiv::reg::HKey key, std::string_view bytes);

private:
    struct KeyRow {
        int64_t id = 0;
        int64_t parent = 0;
        uint32_t depth = 0;
        std::string name;
        uint64_t written = 0;
    };

    uint32_t Ok();
    uint32_t Fail(uint32_t code, std::string text);
    uint32_t SqlFail(int rc);
    uint32_t Exec(const char* sql);
    uint32_t CreateSchema();
    uint32_t PrepareAll();
    uint32_t ApplyPending();
    // Runs the work in one transaction (a write transaction takes the store's write lock first),
    // committing on success and rolling back on any failure.
    uint32_t InTransaction(bool write, const std::function<uint32_t()>& work);

    uint32_t ReadKey(kiv::reg::HKey key, KeyRow& row);
    uint32_t Walk(kiv::reg::HKey key, std::string_view path, bool create, KeyRow& row, bool* created);
    uint32_t FindChild(int64_t parent, std::string_view fold, int64_t& id);
    uint32_t AddKey(const KeyRow& parent, std::string_view name, uint64_t written, int64_t& id);
    uint32_t Touch(int64_t id, uint64_t when);
    uint32_t PutValue(int64_t key, std::string_view name, uint32_t type, std::string_view data);
    uint32_t RemoveTree(int64_t id, bool keepTop);
    uint32_t ReadTree(const KeyRow& top, KivRegSaveFile::Tree& tree);
    // Writes a tree into the target key: replace empties the target first and keeps the tree's
    // last-write times, otherwise the tree is merged into what the target holds.
    uint32_t WriteTree(const KeyRow& target, const KivRegSaveFile::Tree& tree, bool replace);
    uint32_t DecodeTree(std::string_view bytes, KivRegSaveFile::Tree& tree);

    sqlite3* m_db = nullptr;
    std::vector<sqlite3_stmt*> m_stmts;
    std::string m_errorText;
};
