#pragma once

#include "cli/KivCli.h"
#include "common/KivTestHome.h"

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

// One kivrepo command run in the test's process, with what it printed.
struct CliRun {
    int code;
    std::string out;
    std::string err;

    // The document the command printed; null when it printed none.
    nlohmann::ordered_json Doc() const {
        auto doc = nlohmann::ordered_json::parse(out, nullptr, false);
        return doc.is_discarded() ? nlohmann::ordered_json() : doc;
    }
};

inline CliRun Kivrepo(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"kivrepo"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out, err;
    const int code = KivRunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

// kivrepo's tests: a fresh platform home each, and paths below the scratch folder.
class KivCliHome : public KivTestHome {
protected:
    std::string Host(const std::string& relative) const { return (Scratch() / relative).string(); }
};
