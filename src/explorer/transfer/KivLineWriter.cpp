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
    if (m_file.IsOpen())
        Check(m_file.WriteLine(line), line.size() + 2);
}

void KivLineWriter::WriteText(std::string_view text) {
    if (m_file.IsOpen() && !text.empty())
        Check(m_file.WriteText(text), text.size());
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
