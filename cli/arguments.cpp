#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "cli/cli.h"

namespace cli {

Arguments::Arguments(std::vector<std::string> words) : words_(std::move(words)) {}

std::string Arguments::positional(const char* what) {
    for (size_t i = 0; i < words_.size(); ++i) {
        if (words_[i].rfind("--", 0) == 0) {
            ++i;  // skip the option's value; flags are consumed before positionals are read
            continue;
        }
        std::string word = words_[i];
        words_.erase(words_.begin() + static_cast<std::ptrdiff_t>(i));
        return word;
    }
    throw UsageError(std::string("missing ") + what);
}

std::optional<std::string> Arguments::option(const char* name) {
    const std::string key = std::string("--") + name;
    for (size_t i = 0; i < words_.size(); ++i) {
        if (words_[i] != key) continue;
        if (i + 1 >= words_.size()) throw UsageError("option " + key + " needs a value");
        std::string value = words_[i + 1];
        words_.erase(words_.begin() + static_cast<std::ptrdiff_t>(i), words_.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        return value;
    }
    return std::nullopt;
}

bool Arguments::flag(const char* name) {
    const std::string key = std::string("--") + name;
    for (size_t i = 0; i < words_.size(); ++i) {
        if (words_[i] == key) {
            words_.erase(words_.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

void Arguments::finish() const {
    if (words_.empty()) return;
    const std::string& word = words_.front();
    throw UsageError(word.rfind("--", 0) == 0 ? "unknown option " + word : "unexpected argument '" + word + "'");
}

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

}  // namespace cli
