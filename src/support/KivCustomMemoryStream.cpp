#include "support/KivCustomMemoryStream.h"

#include "support/KivFileStream.h"
#include "support/KivStream.h"
#include "support/KivStreamError.h"

#include <algorithm>
#include <cstring>

int64_t KivCustomMemoryStream::Read(void* address, int64_t count) {
    if (count <= 0 || address == nullptr || m_position >= m_size)
        return 0;
    const int64_t n = std::min(count, m_size - m_position);
    // memmove: the caller may hand an address inside the memory itself.
    std::memmove(address, m_memory + m_position, static_cast<size_t>(n));
    m_position += n;
    return n;
}

int64_t KivCustomMemoryStream::Seek(int64_t offset, int origin) {
    const int64_t target = KivSeekTarget(offset, origin, m_position, m_size);
    if (target < 0)
        return -1;
    m_position = target;
    return m_position;
}

void* KivCustomMemoryStream::Memory() const {
    return m_memory;
}

void KivCustomMemoryStream::SetPointer(void* address, int64_t size) {
    m_memory = static_cast<unsigned char*>(address);
    m_size = address == nullptr ? 0 : std::max<int64_t>(size, 0);
}

void KivCustomMemoryStream::SaveToStream(KivStream& stream) {
    if (m_size != 0)
        stream.WriteBuffer(m_memory, m_size);
}

void KivCustomMemoryStream::SaveToFile(std::string_view fileName) {
    KivFileStream file(fileName);
    if (!file.Create())
        throw KivWriteStreamError(this);
    SaveToStream(file);
}

std::string KivCustomMemoryStream::SaveToString() {
    if (m_size == 0)
        return {};
    return std::string(reinterpret_cast<const char*>(m_memory), static_cast<size_t>(m_size));
}

const unsigned char* KivCustomMemoryStream::ValueAt(int64_t n, int64_t width) {
    if (n < 1 || n > m_size - width + 1)
        throw KivMemoryError(this);
    return m_memory + (n - 1);
}

uint8_t KivCustomMemoryStream::GetByte(int64_t n) {
    return *ValueAt(n, 1);
}

uint16_t KivCustomMemoryStream::GetWord(int64_t n) {
    const unsigned char* b = ValueAt(n, 2);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

int16_t KivCustomMemoryStream::GetShort(int64_t n) {
    return static_cast<int16_t>(GetWord(n));
}

uint32_t KivCustomMemoryStream::GetDWord(int64_t n) {
    const unsigned char* b = ValueAt(n, 4);
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

int32_t KivCustomMemoryStream::GetLong(int64_t n) {
    return static_cast<int32_t>(GetDWord(n));
}
