// lumetra: the host program. It stands in for a photo application: loads
// photos, serves pictures to the library through the loader, calls the
// exports and writes the results.
//
// Exit status: 0 on success, 2 on a usage error, 1 on a failure.
#include <cstdio>
#include <exception>
#include <string>

#include "cli/cli.h"
#include "cli/command.h"

namespace {

constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;

// The subcommand the words name ("lumetra" when none was reached).
std::string commandName(const CLI::App& app) {
    const std::vector<const CLI::App*> parsed = app.get_subcommands([](const CLI::App* command) {
        return command->parsed();
    });
    return parsed.empty() ? "lumetra" : "lumetra " + parsed.front()->get_name();
}

bool isCommand(const CLI::App& app, const std::string& word) {
    return !app.get_subcommands([&word](const CLI::App* command) { return command->check_name(word); }).empty();
}

void say(const std::string& who, const char* what) { std::fprintf(stderr, "%s: %s\n", who.c_str(), what); }

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Photo effects, tilt-shift and photo adjustment tools on picture files.", "lumetra");
    app.set_version_flag("--version", "lumetra " LUMETRA_VERSION);
    app.require_subcommand(1);
    app.footer("Run 'lumetra COMMAND --help' for a command's options and an example.");
    cli::addSampleCommand(app);
    cli::addPresetsCommand(app);
    cli::addApplyCommand(app);
    cli::addEffectCommand(app);
    cli::addBatchCommand(app);
    cli::addAssetsCommand(app);
    cli::addSheetCommand(app);
    cli::addBlendCommand(app);
    cli::addAdjustCommand(app);
    cli::addHistogramCommand(app);
    cli::addTemperatureCommand(app);
    cli::addTiltShiftCommand(app);

    if (argc < 2) {
        std::fputs(app.help().c_str(), stderr);
        return kUsageStatus;
    }
    try {
        app.parse(argc, argv);
        return 0;
    } catch (const CLI::RuntimeError& status) {
        return status.get_exit_code();  // a run that reported its own failures
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
        if (argv[1][0] != '-' && !isCommand(app, argv[1])) {
            say("lumetra", ("unknown command '" + std::string(argv[1]) + "' (try 'lumetra --help')").c_str());
            return kUsageStatus;
        }
        say(commandName(app), error.what());
        return kUsageStatus;
    } catch (const cli::UsageError& error) {
        say(commandName(app), error.what());
        return kUsageStatus;
    } catch (const std::exception& error) {  // cli::Failure, and whatever else stopped the work
        say(commandName(app), error.what());
        return kFailureStatus;
    }
}
