#pragma once

#include "support/KivFileSpec.h"
#include "support/KivHandleStream.h"

#include <cstdint>
#include <string_view>

// A stream over a named file, which it opens, creates and closes itself. The file is closed
// when the object is destroyed.
class KivFileStream : public KivHandleStream {
public:
    // A DOS path, or a host path as a person typed it.
    explicit KivFileStream(std::string_view fileName);
    explicit KivFileStream(const KivFileSpec& fileSpec);
    ~KivFileStream() override;

    // Operations of this class in their slot order.
    virtual void Close();
    // Creates the file, or empties an existing one, for reading and writing; true when a handle
    // was obtained.
    virtual bool Create();
    // Opens the file with the access modes of KivFileBin (0 = read only, 1 = write, 2 = read and
    // write); true when a handle was obtained. A handle already open is closed first.
    virtual bool Open(uint32_t mode = 0);

private:
    KivFileSpec m_fileSpec;
};
