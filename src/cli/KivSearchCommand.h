#pragma once

#include <string>

namespace CLI {
class App;
}
class KivCliContext;

// kivrepo search TEXT: the entities whose name holds TEXT (best matches first), or with --source
// the lines of their sources that hold it, over every project or one; --regex takes TEXT as a
// regular expression (names and lines then come in the repository's order). One JSON document,
// written hit by hit.
class KivSearchCommand {
public:
    void Add(CLI::App& app, KivCliContext& context);

private:
    // The exit code: 2 for a regular expression that does not compile.
    int Search(KivCliContext& context) const;

    std::string m_text;
    std::string m_project;
    bool m_source = false;
    bool m_regex = false;
};
