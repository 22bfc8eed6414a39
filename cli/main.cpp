// lumetra: the host program. It stands in for a photo application: loads
// photos, serves pictures to the library through the loader, calls the
// exports and writes the results.
#include <cstdio>
#include <exception>
#include <string_view>

#include "cli/cli.h"

namespace {

struct Subcommand {
    std::string_view name;
    int (*run)(cli::Arguments&);
    const char* usage;
};

constexpr Subcommand kSubcommands[] = {
    {"apply", cli::runApply,
     "apply IN OUT [--preset N] [--vignette NAME] [--frame SPEC] [--region X,Y,W,H] [--assets DIR]"},
    {"effect", cli::runEffect, "effect IN OUT --family F [--index N] [--picture P] [--region X,Y,W,H]"},
    {"presets", cli::runPresets, "presets                      list the built-in presets"},
    {"sample", cli::runSample, "sample OUT [--size WxH]      draw the bundled default picture"},
    {"blend", cli::runBlend, "blend BASE LAYER OUT --mode NAME --opacity P [--region X,Y,W,H]"},
    {"assets", cli::runAssets, "assets DIR                   draw the picture pack the presets use"},
    {"sheet", cli::runSheet, "sheet IN OUT [--assets DIR] [--columns N]   every preset on one contact sheet"},
    {"adjust", cli::runAdjust, "adjust IN OUT [options]      photo adjustment tools (--help for the list)"},
    {"histogram", cli::runHistogram, "histogram IN OUT.png [--size WxH]"},
    {"temperature", cli::runTemperature, "temperature IN               estimated colour temperature"},
    {"tiltshift", cli::runTiltShift,
     "tiltshift IN OUT (--disc CX,CY,INNER,OUTER | --line X1,Y1,X2,Y2,INNER,OUTER | --even)\n"
     "                 (--strength S [--preview WxH] | --aperture SHAPE.png --radius R)"},
};

void printUsage(std::FILE* out) {
    std::fprintf(out, "usage: lumetra COMMAND ...\n");
    for (const Subcommand& command : kSubcommands) std::fprintf(out, "  lumetra %s\n", command.usage);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h") {
        printUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string_view name = argv[1];
    for (const Subcommand& command : kSubcommands) {
        if (command.name != name) continue;
        try {
            cli::Arguments args(std::vector<std::string>(argv + 2, argv + argc));
            return command.run(args);
        } catch (const cli::UsageError& error) {
            std::fprintf(stderr, "lumetra %s: %s\n", argv[1], error.what());
            return 1;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "lumetra %s: %s\n", argv[1], error.what());
            return 1;
        }
    }
    std::fprintf(stderr, "lumetra: unknown command '%s' (try 'lumetra --help')\n", argv[1]);
    return 2;
}
