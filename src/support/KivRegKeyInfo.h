#pragma once

#include "support/KivDate.h"

#include <cstdint>
#include <string>

// What the registry reports about one key: counts and longest lengths of its subkeys and values,
// and when it was last written (local time, kept to two seconds as a packed file date and time).
class KivRegKeyInfo {
public:
    KivRegKeyInfo() = default;
    KivRegKeyInfo(uint32_t subKeys, uint32_t maxSubKeyLen, uint32_t values, uint32_t maxValueNameLen,
                  uint32_t maxValueLen, uint64_t lastWriteFileTime);
    virtual ~KivRegKeyInfo() = default;
    KivRegKeyInfo(const KivRegKeyInfo&) = default;
    KivRegKeyInfo& operator=(const KivRegKeyInfo&) = default;

protected:
    // Takes a FILETIME (UTC); a moment a packed date cannot hold (before 1980) gives the null
    // date.
    virtual void _SetDateTime(uint64_t fileTime);

public:
    virtual std::string LastWriteTime() const { return m_lastWriteTime; }
    virtual KivDate LastWriteDate() const { return m_lastWriteDate; }
    virtual uint32_t SubKeys() const { return m_subKeys; }
    virtual uint32_t MaxSubKeyLen() const { return m_maxSubKeyLen; }
    virtual uint32_t Values() const { return m_values; }
    virtual uint32_t MaxValueNameLen() const { return m_maxValueNameLen; }
    virtual uint32_t MaxValueLen() const { return m_maxValueLen; }

private:
    uint32_t m_subKeys = 0;
    uint32_t m_maxSubKeyLen = 0;
    uint32_t m_values = 0;
    uint32_t m_maxValueNameLen = 0;
    uint32_t m_maxValueLen = 0;
    KivDate m_lastWriteDate;
    std::string m_lastWriteTime;
};
