#include "cli/parse_errors.h"

#include <CLI/CLI.hpp>

#include "cli/report.h"
#include "cli/session.h"

namespace cli {
namespace {

// The option `name` of `command` or of a command above it.
const CLI::Option* FindOption(const CLI::App* command, const std::string& name) {
  for (const CLI::App* c = command; c != nullptr; c = c->get_parent()) {
    if (const CLI::Option* o = c->get_option_no_throw(name)) return o;
  }
  return nullptr;
}

bool TakesValue(const CLI::Option& option) { return option.get_items_expected_min() > 0; }

}  // namespace

std::string UnknownArgument(CLI::App& app, const std::vector<std::string>& args) {
  CLI::App* command = &app;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") break;
    if (arg.size() > 1 && arg[0] == '-') {
      const bool long_form = arg.rfind("--", 0) == 0;
      const std::string name = long_form ? arg.substr(0, arg.find('=')) : arg.substr(0, 2);
      const CLI::Option* option = FindOption(command, name);
      if (option == nullptr) {
        std::string text = "unknown option " + name;
        if (command != &app) text += " for " + command->get_name();
        return text;
      }
      // Its value, when it takes one and it is not attached.
      const bool attached = long_form ? arg.find('=') != std::string::npos : arg.size() > 2;
      if (TakesValue(*option) && !attached) ++i;
      continue;
    }
    if (command == &app) {
      const auto named =
          app.get_subcommands([&arg](CLI::App* sub) { return sub->check_name(arg); });
      if (named.empty()) return "unknown command \"" + arg + "\"";
      command = named.front();
    }
  }
  return {};
}

int ReportParseError(CLI::App& app, const CLI::ParseError& error,
                     const std::vector<std::string>& args, bool json) {
  if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
  std::string text = UnknownArgument(app, args);
  if (text.empty()) {
    text = error.what();
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr &&
        text.find("subcommand") != std::string::npos) {
      text = "a command is required";
    }
  }
  Error(text);
  std::fprintf(stderr, "Run with --help for more information.\n");
  return Exit(json, kUsage);
}

}  // namespace cli
