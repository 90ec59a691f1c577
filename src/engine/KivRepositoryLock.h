#pragma once

#include <cstdint>
#include <filesystem>

// The lock that keeps the repository to one process at a time: an exclusive lock on a file in
// the platform home, taken without waiting. The operating system drops it when the process
// ends, however it ends.
class KivRepositoryLock {
public:
    KivRepositoryLock() = default;
    KivRepositoryLock(const KivRepositoryLock&) = delete;
    KivRepositoryLock& operator=(const KivRepositoryLock&) = delete;
    ~KivRepositoryLock() { Release(); }

    // kOk, kAlreadyOpen while someone else holds it, or the file's error.
    uint32_t Acquire(const std::filesystem::path& file);
    void Release();
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
