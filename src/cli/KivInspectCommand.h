#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}
class KivCliContext;

// kivrepo inspect FILE: one JSON document about an AEF, MEF or PRG file, read with the export
// file readers and without the repository. The header tells an AEF or MEF; anything else is read
// as PRG source.
class KivInspectCommand {
public:
    void Add(CLI::App& app);
    // True when the command was given; `code` is then its exit code: 1 for a file that cannot be
    // read or is not valid (nothing on out) or is damaged (the document of what was read).
    bool Run(KivCliContext& context, int& code) const;

private:
    int Inspect(std::ostream& out, std::ostream& err) const;

    CLI::App* m_inspect = nullptr;
    std::string m_file;
};
