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
    void Add(CLI::App& app, KivCliContext& context);

private:
    int Load(KivCliContext& context) const;

    std::string m_dir;
};
