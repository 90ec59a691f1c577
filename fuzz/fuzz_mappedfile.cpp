// Any bytes as a file read through KivMappedFile: every line with one of several maxima, then
// seeks and texts at offsets taken from the bytes themselves. What comes back must be the file's
// own bytes, in order, with nothing read past the end.
#include "platform/KivDosPath.h"
#include "support/KivMappedFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

// In memory where the host offers it: a disk file emptied for every input would be flushed each
// time and slow the run down a hundredfold.
const std::filesystem::path& FilePath() {
    static const std::filesystem::path path = [] {
        std::error_code ec;
        const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", ec)
                                                 ? std::filesystem::path("/dev/shm")
                                                 : std::filesystem::temp_directory_path();
        return folder / ("kiv_fuzz_mapped_" + std::to_string(::getpid()));
    }();
    static const struct Cleanup {
        ~Cleanup() { ::unlink(path.c_str()); }
    } cleanup;
    return path;
}

void Put(std::string_view bytes) {
    const int fd = ::open(FilePath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    ::close(fd);
}

void Expect(bool condition) {
    if (!condition)
        std::abort();
}

// Every line of the file with the given maximum; the lines and their ends give the file back.
void ReadAllLines(KivMappedFile& file, std::string_view bytes, uint32_t maximum) {
    file.GoTop();
    int64_t at = 0;
    while (!file.Eof()) {
        const std::string line = file.ReadLine(maximum);
        const int64_t next = file.Tell();
        Expect(line.size() <= maximum);
        Expect(bytes.substr(static_cast<size_t>(at), line.size()) == line);
        Expect(line.find("\r\n") == std::string::npos);
        const int64_t consumed = next - at;
        if (consumed == static_cast<int64_t>(line.size()) + 2)
            Expect(bytes.substr(static_cast<size_t>(at) + line.size(), 2) == "\r\n");
        else
            Expect(consumed == static_cast<int64_t>(line.size()) &&
                   (line.size() == maximum || next == static_cast<int64_t>(bytes.size())));
        if (consumed == 0)
            break; // a maximum of 0 in front of text moves nothing
        at = next;
    }
    Expect(file.Tell() <= file.Size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Put(bytes);
    KivMappedFile file(kiv::dospath::FromHost(FilePath()));
    Expect(file.Open());
    Expect(file.Size() == static_cast<int64_t>(size));

    for (uint32_t maximum : {0u, 1u, 2u, 3u, 7u, 256u, 0xFFFFFFFFu})
        ReadAllLines(file, bytes, maximum);

    // Seeks and texts driven by the bytes: 4 bytes of offset, 1 of origin, 2 of count.
    for (size_t i = 0; i + 7 <= size && i < 7 * 64; i += 7) {
        int32_t offset;
        std::memcpy(&offset, data + i, 4);
        const int origin = data[i + 4] % 4;
        const uint32_t count = data[i + 5] | data[i + 6] << 8;
        const int64_t position = file.Seek(offset, origin);
        if (origin == 3) {
            Expect(position == -1);
            continue;
        }
        Expect(position >= 0 && position <= file.Size());
        const std::string text = (i / 7) % 2 ? file.ReadStr(count) : file.ReadLine(count);
        Expect(bytes.substr(static_cast<size_t>(position), text.size()) == text);
        Expect(file.Tell() <= file.Size());
        (void)file.ReadDWord();
        (void)file.ReadWord();
    }
    Expect(file.WriteLine("x") == 0 && file.ErrorCode() == 29);
    file.Close();
    return 0;
}
