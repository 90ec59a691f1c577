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
    void Add(CLI::App& app, KivCliContext& context);

private:
    // The exit code: 1 for a file that cannot be read or is not valid (nothing on out) or is
    // damaged (the document of what was read).
    int Inspect(std::ostream& out, std::ostream& err) const;

    std::string m_file;
};
