#include "explorer/transfer/KivTextSink.h"

#include <utility>

KivTextSink::KivTextSink(std::string path) : m_path(std::move(path)), m_file(m_path) {}

bool KivTextSink::Create() {
    m_ok = m_file.Create();
    if (!m_ok)
        m_failure = m_path + ": " + m_file.ErrString();
    return m_ok;
}

void KivTextSink::Check(uint32_t written, size_t expected) {
    if (!m_ok)
        return;
    if (written != expected || m_file.ErrorCode() != 0) {
        m_ok = false;
        m_failure = m_path + ": " + m_file.ErrString();
    }
}

void KivTextSink::Line(std::string_view text) {
    if (m_ok)
        Check(m_file.WriteLine(text), text.size() + 2);
}

void KivTextSink::Text(std::string_view text) {
    if (m_ok && !text.empty())
        Check(m_file.WriteText(text), text.size());
}

bool KivTextSink::Close() {
    if (m_file.IsOpen())
        m_file.Close();
    return m_ok;
}
