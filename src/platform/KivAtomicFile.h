#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace kiv::platform {

// Replaces a user's file so that it is either whole or untouched: the bytes go to a temporary
// file made beside the target, which takes the target's place on Commit with the old file's
// mode. A symbolic link is followed, so that the link stays and the file it names is replaced.
// A target that exists and is no regular file (a device, a pipe) is written in place, since a
// rename would replace the device itself.
class KivAtomicFile {
public:
    // When Commit waits for the disk. Always: before the rename, for every file. WhenReplacing:
    // only when an old file is replaced, so that a crash of the machine cannot leave it short; a
    // new file whose bytes are kept elsewhere as well (an export of the repository) is renamed
    // into place without waiting, as a copy would be. Either way no reader, and no run killed
    // half-way, ever sees a partly written file under the target's name.
    enum class Sync { Always, WhenReplacing };

    explicit KivAtomicFile(const std::filesystem::path& target, Sync sync = Sync::Always);
    KivAtomicFile(const KivAtomicFile&) = delete;
    KivAtomicFile& operator=(const KivAtomicFile&) = delete;
    ~KivAtomicFile();

    bool IsOpen() const { return m_fd >= 0; }
    // Buffered in large blocks; false once anything has failed.
    bool Write(const void* data, size_t size);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    // Flushes and syncs the data, gives it the old file's mode, renames it over the target and
    // syncs the folder. On failure the temporary file is gone and the old file untouched.
    bool Commit();
    // As Commit, but puts the file in place only where there is none (EEXIST otherwise).
    bool CommitNew();
    // errno of the first failure, 0 when none.
    int Error() const { return m_error; }
    // The file that is replaced: the target with its links followed.
    const std::filesystem::path& Target() const { return m_target; }

private:
    bool Fail(int error);
    bool Flush();
    bool Finish(bool replace);
    void Discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temp; // empty when writing in place
    std::string m_buffer;
    int m_fd = -1;
    int m_error = 0;
    Sync m_sync = Sync::Always;
    bool m_hadOld = false;
    unsigned m_oldMode = 0;
    unsigned m_oldUid = 0;
    unsigned m_oldGid = 0;
};

// The whole of bytes as the new content of target, through KivAtomicFile. error takes the errno.
bool KivReplaceFile(const std::filesystem::path& target, std::string_view bytes, int* error = nullptr);

} // namespace kiv::platform
