#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

// The readers map files, so each input goes to a file of this process's own first (in memory
// where the host has a tmpfs); the readers are given its DOS form.
inline std::string KivFuzzFile(const uint8_t* data, size_t size) {
    static const std::string host = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                    "/kiv-fuzz-" + std::to_string(::getpid());
    std::FILE* f = std::fopen(host.c_str(), "wb");
    if (f == nullptr)
        return {};
    if (size > 0)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
    std::string dos = "Z:" + host;
    for (char& c : dos)
        if (c == '/')
            c = '\\';
    return dos;
}
