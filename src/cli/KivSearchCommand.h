#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

// kivrepo search TEXT: the entities whose name holds TEXT (best matches first), or with --source
// the lines of their sources that hold it, over every project or one; --regex takes TEXT as a
// regular expression (names and lines then come in the repository's order). One JSON document,
// written hit by hit.
class KivSearchCommand {
public:
    void Add(CLI::App& app);
    // True when the command was given; `code` is then its exit code (2 for a regular expression
    // that does not compile).
    bool Run(std::ostream& out, std::ostream& err, int& code) const;

private:
    int Search(std::ostream& out, std::ostream& err) const;

    CLI::App* m_search = nullptr;
    std::string m_text;
    std::string m_project;
    bool m_source = false;
    bool m_regex = false;
};
