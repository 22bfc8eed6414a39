// Values the subcommands read from their options: numbers in a range,
// comma lists, regions, blend-mode names.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "cli/cli.h"
#include "pixel/blend_names.h"

namespace cli {

int parseInt(const std::string& text, const char* what, long low, long high) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE)
        throw UsageError(std::string(what) + " must be a whole number, not '" + text + "'");
    if (value < low || value > high)
        throw UsageError(std::string(what) + " must be in " + std::to_string(low) + ".." + std::to_string(high) +
                         ", not " + text);
    return static_cast<int>(value);
}

double parseNumber(const std::string& text, const char* what, double low, double high) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value))
        throw UsageError(std::string(what) + " must be a number, not '" + text + "'");
    if (value < low || value > high) {
        std::ostringstream range;
        range << what << " must be in " << low << ".." << high << ", not " << text;
        throw UsageError(range.str());
    }
    return value;
}

std::vector<std::string> splitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, ',')) parts.push_back(part);
    if (!text.empty() && text.back() == ',') parts.emplace_back();
    return parts;
}

EffectRegion parseRegion(const std::string& text) {
    const std::vector<std::string> parts = splitCommas(text);
    if (parts.size() != 4) throw UsageError("--region must be X,Y,W,H, not '" + text + "'");
    EffectRegion region{};
    region.x = parseInt(parts[0], "--region X", -1000000, 1000000);
    region.y = parseInt(parts[1], "--region Y", -1000000, 1000000);
    region.width = parseInt(parts[2], "--region W", 1, 1000000);
    region.height = parseInt(parts[3], "--region H", 1, 1000000);
    return region;
}

std::string blendModeList() {
    std::string list;
    for (const char* name : lumetra::kBlendModeNames) list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

std::string blendModeProblem(const std::string& mode) {
    for (const char* name : lumetra::kBlendModeNames)
        if (mode == name) return {};
    return "unknown blend mode '" + mode + "'; choose one of: " + blendModeList();
}

}  // namespace cli
