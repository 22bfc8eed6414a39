#include "cli/command.h"

namespace cli {

CLI::App* addCommand(CLI::App& app, const char* name, const char* summary, const char* example) {
    CLI::App* command = app.add_subcommand(name, summary);
    command->footer(std::string("Example:\n  ") + example);
    return command;
}

}  // namespace cli
