// How a subcommand joins the program's parser. Each cmd_NAME.cpp holds a
// plain options struct, `int runNAME(const NAMEOptions&)` and
// `void addNAMECommand(CLI::App&)`: addCommand makes the subcommand with its
// one-line summary and an example for --help, CLI11 options (with their
// ranges) fill the struct, and runWith runs it once parsing is done. A run
// function returns the exit status (0, or 1 when some of the work failed)
// and throws UsageError (exit 2) or Failure (exit 1) for the rest.
#pragma once

#include <CLI/CLI.hpp>

#include <memory>

namespace cli {

CLI::App* addCommand(CLI::App& app, const char* name, const char* summary, const char* example);

template <class Options>
void runWith(CLI::App* command, std::shared_ptr<Options> options, int (*run)(const Options&)) {
    command->callback([options, run] {
        if (const int status = run(*options)) throw CLI::RuntimeError(status);
    });
}

// A picture file argument: IN or OUT.
inline CLI::Option* addPicture(CLI::App* command, const char* name, std::string& path, const char* what) {
    return command->add_option(name, path, what)->required();
}

}  // namespace cli
