#include "support/KivFileBin.h"

#include "platform/KivOsError.h"
#include "support/KivDateTime.h"
#include "support/KivStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr uint32_t kCopyBlock = 32000;
constexpr int64_t kDay = 86400;

ssize_t ReadAt(int handle, void* target, size_t count, int64_t offset) {
    ssize_t n;
    do
        n = ::pread(handle, target, count, static_cast<off_t>(offset));
    while (n < 0 && errno == EINTR);
    return n;
}

ssize_t WriteAt(int handle, const void* source, size_t count, int64_t offset) {
    ssize_t n;
    do
        n = ::pwrite(handle, source, count, static_cast<off_t>(offset));
    while (n < 0 && errno == EINTR);
    return n;
}

} // namespace

KivFileBin::KivFileBin(std::string_view fileName) : m_fileSpec(fileName) {}

KivFileBin::KivFileBin(const KivFileSpec& fileSpec) : m_fileSpec(fileSpec) {}

KivFileBin::~KivFileBin() {
    KivFileBin::Close();
}

bool KivFileBin::CheckOpen() {
    if (IsOpen())
        return true;
    m_errorCode = kiv::oserror::kInvalidHandle;
    return false;
}

size_t KivFileBin::Buffered() const {
    if (m_position < m_bufferStart || m_position >= m_bufferStart + static_cast<int64_t>(m_bufferLength))
        return 0;
    return static_cast<size_t>(m_bufferStart + static_cast<int64_t>(m_bufferLength) - m_position);
}

// Refills the buffer from the logical position; false (with ErrorCode set) on a read error.
bool KivFileBin::Fill() {
    if (m_buffer.size() != kBufferSize)
        m_buffer.resize(kBufferSize);
    m_bufferStart = m_position;
    m_bufferLength = 0;
    const ssize_t n = ReadAt(m_handle, m_buffer.data(), m_buffer.size(), m_position);
    if (n < 0) {
        UpdateError(errno);
        return false;
    }
    m_bufferLength = static_cast<size_t>(n);
    return true;
}

uint32_t KivFileBin::ReadBlock(void* buffer, uint32_t count) {
    if (!CheckOpen())
        return 0;
    if (buffer == nullptr && count > 0) {
        m_errorCode = kiv::oserror::kInvalidParameter;
        return 0;
    }
    char* out = static_cast<char*>(buffer);
    uint32_t done = 0;
    bool failed = false;
    while (done < count) {
        const size_t rest = count - done;
        size_t available = Buffered();
        if (available == 0 && rest >= kBufferSize) {
            // Large reads bypass the buffer.
            const ssize_t n = ReadAt(m_handle, out + done, rest, m_position);
            if (n < 0) {
                UpdateError(errno);
                failed = true;
                break;
            }
            if (n == 0)
                break;
            done += static_cast<uint32_t>(n);
            m_position += n;
            continue;
        }
        if (available == 0) {
            if (!Fill()) {
                failed = true;
                break;
            }
            available = Buffered();
            if (available == 0)
                break;
        }
        const size_t take = std::min(available, rest);
        std::memcpy(out + done, m_buffer.data() + (m_position - m_bufferStart), take);
        done += static_cast<uint32_t>(take);
        m_position += static_cast<int64_t>(take);
    }
    if (!failed)
        m_errorCode = (done == 0 && count > 0) ? kEofReached : 0;
    return done;
}

uint32_t KivFileBin::WriteBlock(const void* buffer, uint32_t count) {
    if (!CheckOpen())
        return 0;
    if (buffer == nullptr && count > 0) {
        m_errorCode = kiv::oserror::kInvalidParameter;
        return 0;
    }
    // The buffer may hold bytes this write replaces.
    m_bufferLength = 0;
    const char* in = static_cast<const char*>(buffer);
    uint32_t done = 0;
    int err = 0;
    while (done < count) {
        const ssize_t n = WriteAt(m_handle, in + done, count - done, m_position);
        if (n <= 0) {
            // A write that takes nothing without an error has run out of room.
            err = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<uint32_t>(n);
        m_position += n;
    }
    UpdateSize();
    if (err == EBADF)
        m_errorCode = kiv::oserror::kAccessDenied; // open for reading only
    else
        UpdateError(err);
    return done;
}

int64_t KivFileBin::CopyFrom(KivFileBin& source) {
    if (!CheckOpen())
        return 0;
    if (&source == this) {
        // Reading and writing the same position would never reach the end.
        m_errorCode = kiv::oserror::kInvalidParameter;
        return 0;
    }
    if (!source.IsOpen()) {
        m_errorCode = kiv::oserror::kInvalidHandle;
        return 0;
    }
    m_errorCode = 0;
    std::vector<char> buffer(kCopyBlock);
    int64_t total = 0;
    while (!source.Eof()) {
        const uint32_t got = source.ReadBlock(buffer.data(), kCopyBlock);
        if (got == 0) {
            if (source.ErrorCode() != kEofReached)
                m_errorCode = source.ErrorCode();
            break;
        }
        const uint32_t put = WriteBlock(buffer.data(), got);
        total += put;
        if (put < got)
            break;
    }
    return total;
}

void KivFileBin::Close() {
    if (!IsOpen())
        return;
    const int result = ::close(m_handle);
    const int err = result == 0 ? 0 : errno;
    m_handle = -1;
    m_size = 0;
    m_position = 0;
    m_bufferLength = 0;
    m_errorCode = kiv::oserror::FromErrno(err);
}

int KivFileBin::Handle() {
    if (IsOpen())
        ::lseek(m_handle, static_cast<off_t>(m_position), SEEK_SET);
    return m_handle;
}

void KivFileBin::UpdateError(int hostErrno) {
    const uint32_t code = kiv::oserror::FromErrno(hostErrno);
    m_errorCode = code == kiv::oserror::kDiskFull ? kDiskFull : code;
}

void KivFileBin::UpdateSize() {
    struct stat st {};
    if (IsOpen() && ::fstat(m_handle, &st) == 0)
        m_size = static_cast<int64_t>(st.st_size);
}

void KivFileBin::Commit() {
    if (!CheckOpen())
        return;
    int err = ::fsync(m_handle) == 0 ? 0 : errno;
    // Devices and pipes have nothing to flush.
    if (err == EINVAL || err == EROFS)
        err = 0;
    UpdateError(err);
}

std::string KivFileBin::ReadLine(uint32_t maximum) {
    std::string line;
    if (!CheckOpen())
        return line;
    bool consumed = false;
    for (;;) {
        size_t available = Buffered();
        // Two bytes are needed to see a CR LF pair whole.
        if (available < 2) {
            if (!Fill())
                return line;
            available = Buffered();
        }
        if (available == 0) {
            // A CR as the file's very last byte ends the line as well.
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            m_errorCode = consumed ? 0 : kEofReached;
            return line;
        }
        consumed = true;
        const char* p = m_buffer.data() + (m_position - m_bufferStart);
        const size_t room = maximum - line.size();
        const size_t window = std::min(available, room + 2);
        if (const void* lf = std::memchr(p, '\n', window)) {
            const size_t n = static_cast<size_t>(static_cast<const char*>(lf) - p);
            const bool cr = n > 0 ? p[n - 1] == '\r' : (!line.empty() && line.back() == '\r');
            if (line.size() + n - (cr ? 1 : 0) <= maximum) {
                if (cr && n > 0) {
                    line.append(p, n - 1);
                } else {
                    line.append(p, n);
                    if (cr)
                        line.pop_back();
                }
                m_position += static_cast<int64_t>(n + 1);
                m_errorCode = 0;
                return line;
            }
        } else if (window < room + 2) {
            if (available == 1 && room == 0) {
                // The file's last byte after a full line: only a CR could still end that line.
                if (p[0] == '\r')
                    ++m_position;
                m_errorCode = 0;
                return line;
            }
            // The buffer ends before the line does: take what is surely text and read on.
            const size_t take = std::min(available, room);
            line.append(p, take);
            m_position += static_cast<int64_t>(take);
            continue;
        }
        // More than maximum bytes before the line end: the rest is the next line.
        line.append(p, room);
        m_position += static_cast<int64_t>(room);
        m_errorCode = 0;
        return line;
    }
}

bool KivFileBin::Eof() const {
    return m_position >= m_size;
}

bool KivFileBin::Error() const {
    return m_errorCode != 0;
}

uint32_t KivFileBin::ErrorCode() const {
    return m_errorCode;
}

std::string KivFileBin::ErrString() const {
    switch (m_errorCode) {
    case 0:
        return {};
    case kDiskFull:
        return "Disk Full";
    case kEofReached:
        return "EOF was already reached when a read was tried";
    default:
        return kiv::oserror::Text(m_errorCode);
    }
}

int KivFileBin::FileHandle() {
    return Handle();
}

KivFileSpec& KivFileBin::FileSpec() {
    return m_fileSpec;
}

bool KivFileBin::IsOpen() const {
    return m_handle != -1;
}

KivDate KivFileBin::DateChanged() const {
    return m_fileSpec.DateChanged();
}

bool KivFileBin::Exist() const {
    return m_fileSpec.Find();
}

int64_t KivFileBin::Position() {
    return Tell();
}

int64_t KivFileBin::Size() const {
    return m_size;
}

std::string KivFileBin::TimeChanged() const {
    return m_fileSpec.TimeChanged();
}

KivDate KivFileBin::DateChanged(const KivDate& date) {
    SetDateTime(date, TimeChanged());
    return DateChanged();
}

int64_t KivFileBin::Position(int64_t position) {
    return Seek(position, 0);
}

std::string KivFileBin::TimeChanged(const std::string& time) {
    SetDateTime(DateChanged(), time);
    return TimeChanged();
}

void KivFileBin::Destroy() {
    Close();
}

int64_t KivFileBin::GoBottom() {
    return Seek(0, 2);
}

int64_t KivFileBin::Goto(int64_t position) {
    return Seek(position, 0);
}

int64_t KivFileBin::GoTop() {
    return Seek(0, 0);
}

uint32_t KivFileBin::ReadBuffer(void* buffer, uint32_t count) {
    return ReadBlock(buffer, count);
}

std::string KivFileBin::ReadStr(uint32_t count) {
    std::string text;
    if (!CheckOpen())
        return text;
    m_errorCode = 0;
    // Grow in steps so that a huge count on a small file allocates no more than the file holds.
    constexpr size_t kStep = 1024 * 1024;
    size_t wanted = count;
    while (wanted > 0) {
        const size_t chunk = std::min(wanted, kStep);
        const size_t old = text.size();
        text.resize(old + chunk);
        const uint32_t got = ReadBlock(text.data() + old, static_cast<uint32_t>(chunk));
        text.resize(old + got);
        wanted -= got;
        if (got < chunk)
            break;
    }
    if (!text.empty() && m_errorCode == kEofReached)
        m_errorCode = 0;
    return text;
}

std::string KivFileBin::ReadText(uint32_t count) {
    return ReadStr(count);
}

int64_t KivFileBin::Rewind() {
    return Seek(0, 0);
}

int64_t KivFileBin::Seek(int64_t offset, int origin) {
    if (!CheckOpen())
        return 0;
    if (origin == 2)
        UpdateSize();
    const int64_t target = KivSeekTarget(offset, origin, m_position, m_size);
    if (target < 0) {
        m_errorCode = kiv::oserror::kInvalidParameter;
        return -1;
    }
    m_position = target;
    m_errorCode = 0;
    return m_position;
}

uint32_t KivFileBin::WriteBuffer(const void* buffer, uint32_t count) {
    return WriteBlock(buffer, count);
}

void KivFileBin::UpdateOpenError(int hostErrno, const std::string& hostPath) {
    UpdateError(hostErrno);
    if (hostErrno == ENOENT) {
        // Windows tells a missing folder from a missing file.
        struct stat st {};
        const std::string parent = hostPath.substr(0, hostPath.find_last_of('/') + 1);
        if (parent.empty() || ::stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            m_errorCode = kiv::oserror::kPathNotFound;
    }
}

bool KivFileBin::Open(uint32_t mode) {
    Close();
    const auto host = m_fileSpec.HostPath();
    if (!host) {
        m_errorCode = kiv::oserror::kPathNotFound;
        return false;
    }
    int flags = O_CLOEXEC;
    switch (mode & 3) {
    case kRead:
        flags |= O_RDONLY;
        break;
    case kWrite:
        flags |= O_WRONLY;
        break;
    case kReadWrite:
        flags |= O_RDWR;
        break;
    default:
        m_errorCode = kiv::oserror::kInvalidParameter;
        return false;
    }
    // Not blocking keeps a FIFO from hanging the open; reads on it fail later instead.
    const int handle = ::open(host->c_str(), flags | O_NONBLOCK);
    if (handle < 0) {
        UpdateOpenError(errno, host->string());
        return false;
    }
    ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK);
    struct stat st {};
    if (::fstat(handle, &st) == 0 && S_ISDIR(st.st_mode)) {
        // Windows opens no folder as a file.
        ::close(handle);
        m_errorCode = kiv::oserror::kAccessDenied;
        return false;
    }
    return Opened(handle);
}

bool KivFileBin::Opened(int handle) {
    m_handle = handle;
    m_position = 0;
    m_bufferLength = 0;
    UpdateSize();
    m_errorCode = 0;
    return true;
}

bool KivFileBin::GetDateTime(uint16_t& packedDate, uint16_t& packedTime) {
    if (!CheckOpen())
        return false;
    struct stat st {};
    if (::fstat(m_handle, &st) != 0) {
        UpdateError(errno);
        return false;
    }
    const int64_t written = std::clamp<int64_t>(st.st_mtime, 0, int64_t{0xFFFFFFFF});
    const uint32_t local = KivGMTUnixTimeToLocalUnixTime(static_cast<uint32_t>(written));
    const uint32_t seconds = local % kDay;
    packedDate = KivDate2PackedWord(KivDate::FromDays(local / kDay));
    packedTime = static_cast<uint16_t>(seconds / 3600 << 11 | seconds / 60 % 60 << 5 | seconds % 60 / 2);
    m_errorCode = 0;
    return true;
}

bool KivFileBin::SetDateTime(const KivDate& date, const std::string& time) {
    return SetDateTime2(KivDate2PackedWord(date), KivTime2PackedWord(time));
}

bool KivFileBin::SetDateTime2(uint16_t packedDate, uint16_t packedTime) {
    std::optional<std::filesystem::path> host;
    if (!IsOpen()) {
        host = m_fileSpec.HostPath();
        struct stat st {};
        if (!host) {
            m_errorCode = kiv::oserror::kPathNotFound;
            return false;
        }
        if (::stat(host->c_str(), &st) != 0) {
            UpdateOpenError(errno, host->string());
            return false;
        }
    }
    const KivDate date = KivPackedWord2Date(packedDate);
    const int hours = packedTime >> 11, minutes = (packedTime >> 5) & 0x3F, seconds = (packedTime & 0x1F) * 2;
    if (date.IsNull() || hours > 23 || minutes > 59 || seconds > 59) {
        m_errorCode = kiv::oserror::kInvalidParameter;
        return false;
    }
    const int64_t local = date.DaysSince1970() * kDay + hours * 3600 + minutes * 60 + seconds;
    const uint32_t utc = KivLocalUnixTimeToGMTUnixTime(static_cast<uint32_t>(local));
    // Only the last-write time changes; the last-access time is left alone.
    struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(utc), 0}};
    const int result = host ? ::utimensat(AT_FDCWD, host->c_str(), times, 0) : ::futimens(m_handle, times);
    UpdateError(result == 0 ? 0 : errno);
    return result == 0;
}

bool KivFileBin::ReadExact(void* target, uint32_t count) {
    // Through the virtual reads and seeks, so that a derived file's own position goes back too.
    const int64_t start = Tell();
    const uint32_t got = ReadBlock(target, count);
    if (got == count)
        return true;
    if (IsOpen()) {
        const uint32_t code = m_errorCode == 0 ? kEofReached : m_errorCode;
        Seek(start, 0);
        m_errorCode = code;
    }
    return false;
}

uint8_t KivFileBin::ReadByte() {
    unsigned char b[1];
    return ReadExact(b, 1) ? b[0] : 0;
}

uint32_t KivFileBin::ReadDWord() {
    unsigned char b[4];
    if (!ReadExact(b, 4))
        return 0;
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

int32_t KivFileBin::ReadLong() {
    return static_cast<int32_t>(ReadDWord());
}

int16_t KivFileBin::ReadShort() {
    return static_cast<int16_t>(ReadWord());
}

uint16_t KivFileBin::ReadWord() {
    unsigned char b[2];
    if (!ReadExact(b, 2))
        return 0;
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

int64_t KivFileBin::Tell() {
    if (!CheckOpen())
        return 0;
    m_errorCode = 0;
    return m_position;
}

bool KivFileBin::Create(uint32_t attributes) {
    Close();
    const auto host = m_fileSpec.HostPath();
    if (!host) {
        m_errorCode = kiv::oserror::kPathNotFound;
        return false;
    }
    const mode_t permissions = (attributes & kReadOnly) ? 0444 : 0666;
    const int handle = ::open(host->c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, permissions);
    if (handle < 0) {
        const int err = errno;
        UpdateError(err);
        if (err == ENOENT)
            m_errorCode = kiv::oserror::kPathNotFound;
        return false;
    }
    return Opened(handle);
}

uint32_t KivFileBin::Read(std::string& text, uint32_t count) {
    text = ReadStr(count);
    return static_cast<uint32_t>(text.size());
}

uint32_t KivFileBin::Read(std::string& text) {
    return Read(text,
                static_cast<uint32_t>(std::min<size_t>(text.size(), std::numeric_limits<uint32_t>::max())));
}

uint32_t KivFileBin::Write(std::string_view text, size_t length) {
    text = text.substr(0, std::min<size_t>(length, std::numeric_limits<uint32_t>::max()));
    return WriteBlock(text.data(), static_cast<uint32_t>(text.size()));
}

uint32_t KivFileBin::WriteLine(std::string_view text, size_t length) {
    text = text.substr(0, std::min<size_t>(length, std::numeric_limits<uint32_t>::max() - 2));
    // One write for text and line end, so that a log line is never torn in two.
    std::string line;
    line.reserve(text.size() + 2);
    line.append(text);
    line.append("\r\n");
    return WriteBlock(line.data(), static_cast<uint32_t>(line.size()));
}

uint32_t KivFileBin::WriteText(std::string_view text, size_t length) {
    return Write(text, length);
}
