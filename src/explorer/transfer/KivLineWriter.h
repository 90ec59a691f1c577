#pragma once

#include "support/KivFileBin.h"

#include <cstdint>
#include <string>
#include <string_view>

// A text file written one CR LF-terminated line at a time, as the logs and information files
// are. The lines are gathered and handed to the file in one write when Flush or Close is called
// (or 64 KB have gathered), so that a run writing thousands of lines does not make a system call
// for each: a run flushes where it checks Failed, and its Close leaves every line on disk, also
// when it was cancelled. It remembers the first write that failed, so that a run can tell
// afterwards whether everything it wrote is on disk; after a failure the lines that follow are
// still attempted.
class KivLineWriter {
public:
    explicit KivLineWriter(std::string dosPath);
    ~KivLineWriter();
    KivLineWriter(const KivLineWriter&) = delete;
    KivLineWriter& operator=(const KivLineWriter&) = delete;

    // Creates the file (or empties it); false when it cannot be created.
    bool Create();
    void WriteLine(std::string_view line);
    // The text as it is, without a line end.
    void WriteText(std::string_view text);
    // Writes the lines gathered so far.
    void Flush();
    // Closes the file; false when any write, or the close itself, failed.
    bool Close();

    const std::string& DosPath() const { return m_dosPath; }
    bool IsOpen() const { return m_file.IsOpen(); }
    bool Failed() const { return m_errorCode != 0; }
    // The text of the first failure ("Disk Full" and the like).
    const std::string& ErrorText() const { return m_errorText; }
    // "<path>: <error text>" of the first failure.
    std::string Failure() const { return m_dosPath + ": " + m_errorText; }

private:
    void Check();
    void Check(uint32_t written, size_t expected);

    std::string m_dosPath;
    KivFileBin m_file;
    std::string m_pending;
    uint32_t m_errorCode = 0;
    std::string m_errorText;
};
