#pragma once

#include "cli/KivCli.h"

#include <sstream>
#include <string>
#include <vector>

// One kivrepo command run in the test's process, with what it printed.
struct CliRun {
    int code;
    std::string out;
    std::string err;
};

inline CliRun Kivrepo(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"kivrepo"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out, err;
    const int code = KivRunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}
