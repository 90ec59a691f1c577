#pragma once

#include "support/KivIniDocument.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

// One INI file on disk, read through a cache: the parsed text is kept and read again only when
// the file's identity, size or times change, so reading thousands of keys costs one parse. The
// disk is looked at once per tick of the kernel's coarse clock (a few milliseconds) and after
// every write made in this process; a change by another process shows from the next tick on.
// A change that alters the text replaces the file atomically (a temporary file beside it, then
// a rename); a change that alters nothing writes nothing.
//
// A file the size and times of which were stamped in the same clock tick as our read could be
// rewritten in that tick without changing them; such a file is compared byte for byte on every
// access until its stamps are safely in the past (as git treats a "racily clean" index).
class KivProfileFile {
public:
    // Points the object at a DOS path; nothing is read yet.
    void Open(std::string dosPath);
    const std::string& DosPath() const { return m_dosPath; }

    // Make the folder before the first write; for the platform's own folders.
    void MakeFolderOnWrite(bool make) { m_makeFolder = make; }

    // The text as the file holds it now: empty when the file is missing, is no regular file,
    // cannot be read or its drive is not mapped.
    const KivIniDocument& Document();

    // Applies the change to the current text and writes the file when the text changed. True
    // when the file holds the result. A file that exists but could not be read, or that is
    // not a regular file, is never written: its content would be lost.
    bool Apply(const std::function<KivIniDocument::Change(KivIniDocument&)>& change);

private:
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
        bool operator==(const Stamp& other) const;
    };
    enum class State { Unknown, Missing, Unreadable, Loaded };

    static Stamp StampOf(const struct stat& st);
    void Refresh(bool always);
    void Load();
    bool Write(const std::string& text);

    std::string m_dosPath;
    std::filesystem::path m_host; // empty until resolved
    bool m_makeFolder = false;

    bool m_checked = false;
    timespec m_checkedAt{};
    uint64_t m_writesSeen = 0;
    State m_state = State::Unknown;
    Stamp m_stamp;
    bool m_settled = false; // the stamp proves that the file did not change since we read it
    std::string m_bytes;
    KivIniDocument m_document;
};
