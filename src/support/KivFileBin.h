#pragma once

#include "support/KivDate.h"
#include "support/KivFileSpec.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A file read and written through one operating-system handle. Every operation keeps its
// outcome in ErrorCode (0 = success, Windows error numbers, plus kDiskFull and kEofReached);
// nothing throws. Reads go through a buffer of the object's own, so ReadLine makes no system
// call per line; writes and seeks always act at the logical position the reads have reached.
class KivFileBin {
public:
    static constexpr uint32_t kDiskFull = 256;
    static constexpr uint32_t kEofReached = 257;

    // Open modes: the access in the low two bits as the run-time's FO_ values; its sharing bits
    // are accepted and have no effect here.
    static constexpr uint32_t kRead = 0;
    static constexpr uint32_t kWrite = 1;
    static constexpr uint32_t kReadWrite = 2;
    // Create attributes (the run-time's FC_ values); the hidden, system and archive bits have no
    // counterpart here and are ignored.
    static constexpr uint32_t kNormal = 0;
    static constexpr uint32_t kReadOnly = 1;

    explicit KivFileBin(std::string_view fileName);
    explicit KivFileBin(const KivFileSpec& fileSpec);
    virtual ~KivFileBin();
    KivFileBin(const KivFileBin&) = delete;
    KivFileBin& operator=(const KivFileBin&) = delete;

    // Virtual operations in their fixed slot order, which derived classes keep. __UpdateError,
    // __UpdateSize, __GetDateTime, __SetDateTime and __SetDateTime2 drop the leading underscores
    // that C++ reserves; EOF, a macro of the C library, is spelled Eof.
    virtual uint32_t ReadBlock(void* buffer, uint32_t count);
    virtual uint32_t WriteBlock(const void* buffer, uint32_t count);
    // Copies the source from its position to its end in blocks of 32000 bytes; the bytes written.
    virtual int64_t CopyFrom(KivFileBin& source);
    virtual void Close();
    // The handle, its own offset brought to the logical position; -1 when closed.
    virtual int Handle();

protected:
    // ErrorCode from a host errno value of the last call (0 = success).
    virtual void UpdateError(int hostErrno);
    // For a derived file that reads in its own way and reports in the same ErrorCode.
    void SetErrorCode(uint32_t code) { m_errorCode = code; }
    virtual void UpdateSize();

public:
    virtual void Commit();
    // The next line without its line end, at most maximum bytes of it. A line ends at CR LF or
    // at a lone LF; the CR before an LF is never returned, nor a CR that is the file's last byte.
    // Of a longer line the first maximum bytes come back and the rest is the next call's line, so
    // no byte is lost; a line end right after those bytes is consumed with them.
    virtual std::string ReadLine(uint32_t maximum = 256);
    virtual bool Eof() const;
    virtual bool Error() const;
    virtual uint32_t ErrorCode() const;
    virtual std::string ErrString() const;
    virtual int FileHandle();
    // The file name object itself: changing it (its extension, say) renames what the next Open or
    // Create opens.
    virtual KivFileSpec& FileSpec();
    const KivFileSpec& FileSpec() const { return m_fileSpec; }
    virtual bool IsOpen() const;
    virtual KivDate DateChanged() const;
    virtual bool Exist() const;
    virtual int64_t Position();
    virtual int64_t Size() const;
    virtual std::string TimeChanged() const;
    // Set the file's last-write moment (local time) keeping the other half, and return the value
    // the file now has (times are kept to two seconds, as MS-DOS packs them).
    virtual KivDate DateChanged(const KivDate& date);
    virtual int64_t Position(int64_t position);
    virtual std::string TimeChanged(const std::string& time);
    virtual void Destroy();
    virtual int64_t GoBottom();
    virtual int64_t Goto(int64_t position);
    virtual int64_t GoTop();
    virtual uint32_t ReadBuffer(void* buffer, uint32_t count);
    virtual std::string ReadStr(uint32_t count);
    // As ReadStr: texts are bytes and are never transcoded.
    virtual std::string ReadText(uint32_t count);
    virtual int64_t Rewind();
    // Origin 0 = start, 1 = current position, 2 = end; the new position, or -1 when the origin is
    // unknown or the position would be negative (ErrorCode 87).
    virtual int64_t Seek(int64_t offset, int origin = 0);
    virtual uint32_t WriteBuffer(const void* buffer, uint32_t count);
    // Closes any open handle and opens the file; true on success.
    virtual bool Open(uint32_t mode = kRead);

protected:
    // The packed MS-DOS date and time of the file's last write, local time, from the handle.
    virtual bool GetDateTime(uint16_t& packedDate, uint16_t& packedTime);
    virtual bool SetDateTime(const KivDate& date, const std::string& time);
    virtual bool SetDateTime2(uint16_t packedDate, uint16_t packedTime);

public:
    // Typed reads at the position, little-endian. When fewer bytes are left than the value
    // needs, they give 0, set kEofReached and leave the position where it was.
    virtual uint8_t ReadByte();
    virtual uint32_t ReadDWord();
    virtual int32_t ReadLong();
    virtual int16_t ReadShort();
    virtual uint16_t ReadWord();
    virtual int64_t Tell();

    // Creates the file, or truncates an existing one, and opens it for reading and writing.
    virtual bool Create(uint32_t attributes = kNormal);
    // Reads up to count bytes into the text, which is cut to what was read; the bytes read.
    virtual uint32_t Read(std::string& text, uint32_t count);
    uint32_t Read(std::string& text);
    // The text (its first length bytes), then CR LF for WriteLine; the bytes written.
    virtual uint32_t Write(std::string_view text, size_t length = std::string_view::npos);
    virtual uint32_t WriteLine(std::string_view text, size_t length = std::string_view::npos);
    virtual uint32_t WriteText(std::string_view text, size_t length = std::string_view::npos);

private:
    bool CheckOpen();
    size_t Buffered() const;
    bool Fill();
    bool ReadExact(void* target, uint32_t count);
    void UpdateOpenError(int hostErrno, const std::string& hostPath);
    // Takes the handle Open or Create got: at the start, nothing buffered, no error; true.
    bool Opened(int handle);

    KivFileSpec m_fileSpec;
    int m_handle = -1;
    uint32_t m_errorCode = 0;
    int64_t m_size = 0;
    int64_t m_position = 0;
    // Bytes of the file from m_bufferStart on, as last read.
    std::vector<char> m_buffer;
    int64_t m_bufferStart = 0;
    size_t m_bufferLength = 0;
};
