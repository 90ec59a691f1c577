#include "explorer/transfer/KivLineWriter.h"

KivLineWriter::KivLineWriter(std::string dosPath) : m_dosPath(std::move(dosPath)), m_file(m_dosPath) {}

KivLineWriter::~KivLineWriter() {
    Close();
}

bool KivLineWriter::Create() {
    m_pending.clear();
    if (!m_file.Create())
        Check();
    return m_file.IsOpen() && !Failed();
}

namespace {

constexpr size_t kFlushAt = 64 * 1024;

} // namespace

void KivLineWriter::WriteLine(std::string_view line) {
    if (!m_file.IsOpen())
        return;
    m_pending.append(line);
    m_pending.append("\r\n");
    if (m_pending.size() >= kFlushAt)
        Flush();
}

void KivLineWriter::WriteText(std::string_view text) {
    if (!m_file.IsOpen() || text.empty())
        return;
    if (m_pending.size() + text.size() < kFlushAt) {
        m_pending.append(text);
        return;
    }
    Flush();
    Check(m_file.WriteText(text), text.size());
}

void KivLineWriter::Flush() {
    if (m_pending.empty())
        return;
    if (m_file.IsOpen())
        Check(m_file.WriteText(m_pending), m_pending.size());
    m_pending.clear();
}

void KivLineWriter::Check(uint32_t written, size_t expected) {
    if (written != expected && m_file.ErrorCode() == 0) {
        // A short write without an error code still leaves the file incomplete.
        m_errorCode = KivFileBin::kDiskFull;
        m_errorText = "Disk Full";
        return;
    }
    Check();
}

bool KivLineWriter::Close() {
    if (m_file.IsOpen()) {
        Flush();
        m_file.Close();
        Check();
    }
    return !Failed();
}

void KivLineWriter::Check() {
    if (m_errorCode == 0 && m_file.ErrorCode() != 0) {
        m_errorCode = m_file.ErrorCode();
        m_errorText = m_file.ErrString();
    }
}
