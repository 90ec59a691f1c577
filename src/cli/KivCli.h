#pragma once

#include <iosfwd>

// kivrepo: the repository tools without a window. Exit codes: 0 success, 1 the operation
// failed, 2 the command line was wrong.
int KivRunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
