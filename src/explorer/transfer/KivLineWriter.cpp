#include "explorer/transfer/KivLineWriter.h"

KivLineWriter::KivLineWriter(std::string dosPath) : m_dosPath(std::move(dosPath)), m_file(m_dosPath) {}

KivLineWriter::~KivLineWriter() {
    Close();
}

bool KivLineWriter::Create() {
    if (!m_file.Create())
        Check();
    return m_file.IsOpen() && !Failed();
}

void KivLineWriter::WriteLine(std::string_view line) {
    if (!m_file.IsOpen())
        return;
    const uint32_t written = m_file.WriteLine(line);
    if (written != line.size() + 2 && m_file.ErrorCode() == 0) {
        // A short write without an error code still leaves the file incomplete.
        m_errorCode = KivFileBin::kDiskFull;
        m_errorText = "Disk Full";
        return;
    }
    Check();
}

bool KivLineWriter::Close() {
    if (m_file.IsOpen()) {
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
