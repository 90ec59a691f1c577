#pragma once

#include <string>

namespace CLI {
class App;
}
class KivCliContext;

// kivrepo diff OLD NEW: what changed between two versions of an application or module, each an
// AEF, MEF or PRG file or a repository address (repo:PROJECT/APP or repo:PROJECT/APP/MODULE).
// Exit 0 when they are the same, 1 when they differ, 2 on a bad argument or unreadable file.
class KivDiffCommand {
public:
    void Add(CLI::App& app, KivCliContext& context);

private:
    int Diff(KivCliContext& context) const;

    std::string m_old;
    std::string m_new;
    bool m_text = false;
};
