#pragma once

#include "support/KivFileBin.h"

#include <string>
#include <string_view>

// A file the transfers write line by line, which remembers whether every byte reached it. The
// file object itself keeps only the last call's state; a run must know about any failed write
// to report Failed instead of Done.
class KivTextSink {
public:
    explicit KivTextSink(std::string path);

    // Creates the file (an existing one is overwritten).
    bool Create();
    // The text and CR LF.
    void Line(std::string_view text);
    // The text as it is.
    void Text(std::string_view text);
    // Closes the file; false when a write or the creation failed.
    bool Close();

    bool Ok() const { return m_ok; }
    bool IsOpen() const { return m_file.IsOpen(); }
    const std::string& Path() const { return m_path; }
    // "<path>: <system error text>" of the first failure.
    const std::string& Failure() const { return m_failure; }

private:
    void Check(uint32_t written, size_t expected);

    std::string m_path;
    KivFileBin m_file;
    bool m_ok = false;
    std::string m_failure;
};
