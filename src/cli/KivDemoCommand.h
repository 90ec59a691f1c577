#pragma once

#include <string>

namespace CLI {
class App;
}
class KivCliContext;

// kivrepo load-demo [DIR]: fills an empty repository with the demo project from a samples
// folder (by default the checkout's samples/), and leaves the demo's project current.
class KivDemoCommand {
public:
    void Add(CLI::App& app);
    // True when the command was given; `code` is then its exit code.
    bool Run(KivCliContext& context, int& code) const;

private:
    int Load(KivCliContext& context) const;

    CLI::App* m_command = nullptr;
    std::string m_dir;
};
