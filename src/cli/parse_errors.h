#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
class ParseError;
}  // namespace CLI

namespace cli {

// Reports a command line CLI11 refused, naming what it did not know
// ("unknown option --fats", "unknown command \"tset\"") rather than what it
// then missed. Help and version requests print and return 0; everything
// else returns the usage status.
int ReportParseError(CLI::App& app, const CLI::ParseError& error,
                     const std::vector<std::string>& args, bool json);

// The first argument that names no command or option, described; empty
// when every argument is known.
std::string UnknownArgument(CLI::App& app, const std::vector<std::string>& args);

}  // namespace cli
