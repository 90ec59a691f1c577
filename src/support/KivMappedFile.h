#pragma once

#include "support/KivFileBin.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A read-only mapping of a file that another program may shrink while it is read: a page the
// file lost reads as zeros instead of ending the process, and Cut() tells that it happened, so
// that what was read can be thrown away. For readers that walk a mapping in place.
class KivMappingGuard {
public:
    KivMappingGuard() = default;
    KivMappingGuard(const KivMappingGuard&) = delete;
    KivMappingGuard& operator=(const KivMappingGuard&) = delete;
    ~KivMappingGuard() { Reset(nullptr, 0); }
    // Guards the mapping at begin (nothing for a null one) instead of the last; call it with
    // nullptr before the last is unmapped. Past 1,024 mappings at once, a new one is not guarded.
    void Reset(const void* begin, size_t size);
    bool Cut() const;

private:
    int m_slot = -1;
};

// A file read whole through a read-only memory mapping. It reports through ErrorCode only:
// every write operation sets 29 and changes nothing; a read never goes past the end.
//
// An empty file opens without a mapping and reads as empty. Should the file shrink while it is
// mapped (another program truncates it), the pages it lost cannot be read any more: a read that
// reaches them gives nothing, sets 30 and cuts the size to what the file still holds, where the
// host would otherwise end the program. A file removed while mapped stays readable.
class KivMappedFile : public KivFileBin {
public:
    explicit KivMappedFile(std::string_view fileName);
    explicit KivMappedFile(const KivFileSpec& fileSpec);
    ~KivMappedFile() override;

    // Overrides in KivFileBin's slot order.
    uint32_t ReadBlock(void* buffer, uint32_t count) override;
    uint32_t WriteBlock(const void* buffer, uint32_t count) override;
    int64_t CopyFrom(KivFileBin& source) override;
    void Close() override;
    int Handle() override;

protected:
    // ErrorCode := the Windows number of the host error, no "Disk Full" of its own.
    void UpdateError(int hostErrno) override;

public:
    void Commit() override;
    // The bytes up to the next CR LF, which is consumed and not returned; a CR or LF alone stays
    // in the text. At most maximum bytes of text: of a longer line the rest is the next call's
    // line, and a CR LF right after those bytes is consumed with them. The last line ends at the
    // end of the file.
    std::string ReadLine(uint32_t maximum = 256) override;
    bool Eof() const override;
    int FileHandle() override;
    int64_t Position() override;
    // Position(n), GoTop, GoBottom, Goto, Rewind, ReadBuffer and ReadText are KivFileBin's,
    // through Seek, ReadBlock and ReadStr.
    using KivFileBin::Position;
    int64_t Size() const override;
    std::string ReadStr(uint32_t count) override;
    // Origin 0, 1 or 2 as KivFileBin; the position is kept within 0 and the size.
    int64_t Seek(int64_t offset, int origin = 0) override;
    uint32_t WriteBuffer(const void* buffer, uint32_t count) override;
    // Opens for reading whatever the mode and maps the whole file; on failure nothing stays open.
    bool Open(uint32_t mode = kRead) override;
    int64_t Tell() override;

    bool Create(uint32_t attributes = kNormal) override;

    // The whole mapped file, for readers that walk it in place (empty when closed or empty).
    // Should the file shrink under it, the pages it lost read as zeros and ViewCut() is true.
    std::string_view View() const { return {m_view, m_viewSize}; }
    bool ViewCut() const { return m_guard.Cut(); }
    using KivFileBin::Read;
    uint32_t Read(std::string& text, uint32_t count) override;
    uint32_t Write(std::string_view text, size_t length = std::string_view::npos) override;
    uint32_t WriteLine(std::string_view text, size_t length = std::string_view::npos) override;
    uint32_t WriteText(std::string_view text, size_t length = std::string_view::npos) override;

private:
    bool CheckOpen();
    uint32_t RefuseWrite();
    // Copies count bytes at the position; false after a fault.
    bool CopyOut(void* target, size_t count);
    void Lost();

    // The host maps a file without a separate mapping object: the view is the whole mapping.
    const char* m_view = nullptr;
    size_t m_viewSize = 0;
    // The current address as its distance from the view.
    int64_t m_offset = 0;
    int64_t m_fileSize = 0;
    KivMappingGuard m_guard;
};
