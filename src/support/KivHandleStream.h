#pragma once

#include "support/KivStream.h"

#include <cstdint>

// A stream over an operating-system file handle (a host file descriptor) that someone else
// opened and closes. Read and Write go on until count bytes moved, the end of the file, or an
// error; Seek gives -1 when the handle refuses.
class KivHandleStream : public KivStream {
public:
    KivHandleStream();
    explicit KivHandleStream(intptr_t handle);

    int64_t Read(void* address, int64_t count) override;
    int64_t Seek(int64_t offset, int origin) override;
    int64_t Write(const void* address, int64_t count) override;

    // Operations of this class in their slot order.
    // -1 when there is none.
    virtual intptr_t Handle() const;

protected:
    void SetHandle(intptr_t handle) { m_handle = handle; }

private:
    intptr_t m_handle = -1;
};
