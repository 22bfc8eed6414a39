// lumetra_golden: runs the sweep and compares it with the table.
//   lumetra_golden [--table FILE] [--write] [--no-check] [--every N] [--threads N] [--filter TEXT]
// --write rewrites the table; otherwise every computed case is compared
// with it and each difference is named (--no-check: not compared).
// --every N runs every Nth case only (the ThreadSanitizer build).
// --threads N runs the selected cases again on N threads at once and
// compares every hash with the single-threaded one.
#include <opencv2/core.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "golden/sweep.h"

namespace {

using golden::Case;

struct Options {
    std::string table = LUMETRA_GOLDEN_TABLE;
    bool write = false;
    bool check = true;
    int every = 1;
    int threads = 0;
    std::string filter;
};

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "lumetra_golden: %s needs a value\n", word.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (word == "--table") options.table = value();
        else if (word == "--write") options.write = true;
        else if (word == "--no-check") options.check = false;
        else if (word == "--every") options.every = std::max(1, std::atoi(value().c_str()));
        else if (word == "--threads") options.threads = std::max(1, std::atoi(value().c_str()));
        else if (word == "--filter") options.filter = value();
        else {
            std::fprintf(stderr, "usage: lumetra_golden [--table FILE] [--write] [--no-check] [--every N] [--threads N] [--filter TEXT]\n");
            std::exit(2);
        }
    }
    return options;
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

uint32_t runCase(const Case& c) {
    golden::Hash h;
    c.run(h);
    return h.value();
}

// Each export with the number of cases of the families that call it: an
// export without cases reads "cases=0" in the table and in the report.
std::vector<std::pair<std::string, std::string>> exportLines(const std::map<std::string, size_t>& casesByFamily) {
    std::map<std::string, size_t> counts;
    std::ifstream list(LUMETRA_EXPORTS_FILE);
    for (std::string name; std::getline(list, name);)
        if (!name.empty()) counts[name] = 0;
    for (const golden::Family& family : golden::families())
        for (const std::string& name : family.exports) {
            if (!counts.contains(name)) {
                std::fprintf(stderr, "lumetra_golden: family '%s' names '%s', which is not exported\n", family.name, name.c_str());
                std::exit(2);
            }
            counts[name] += casesByFamily.at(family.name);
        }
    std::vector<std::pair<std::string, std::string>> lines;
    for (const auto& [name, count] : counts) {
        if (count == 0) std::printf("no cases: %s\n", name.c_str());
        lines.push_back({"exports/" + name, "cases=" + std::to_string(count)});
    }
    return lines;
}

std::map<std::string, std::string> readTable(const std::string& path) {
    std::map<std::string, std::string> table;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t space = line.rfind(' ');
        if (space != std::string::npos) table[line.substr(0, space)] = line.substr(space + 1);
    }
    return table;
}

// Runs the cases on `threads` threads, each taking the next case not yet taken.
std::vector<uint32_t> runAll(const std::vector<Case>& cases, int threads) {
    std::vector<uint32_t> hashes(cases.size());
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < cases.size(); i = next++) hashes[i] = runCase(cases[i]);
    };
    std::vector<std::thread> workers;
    for (int i = 1; i < threads; ++i) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();
    return hashes;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    cv::setNumThreads(0);  // the host's own drawing runs on our threads only
    const auto started = std::chrono::steady_clock::now();

    std::vector<Case> all;
    std::map<std::string, size_t> casesByFamily;
    for (const golden::Family& family : golden::families()) {
        const size_t before = all.size();
        family.add(all);
        casesByFamily[family.name] = all.size() - before;
    }
    std::set<std::string> names;
    for (const Case& c : all)
        if (!names.insert(c.name).second) {
            std::fprintf(stderr, "lumetra_golden: two cases are named '%s'\n", c.name.c_str());
            return 2;
        }
    const bool subset = options.every > 1 || !options.filter.empty();
    if (options.write && subset) {
        std::fprintf(stderr, "lumetra_golden: --write needs the whole sweep\n");
        return 2;
    }
    std::vector<Case> chosen;
    for (size_t i = 0; i < all.size(); ++i)
        if (i % static_cast<size_t>(options.every) == 0 && all[i].name.find(options.filter) != std::string::npos)
            chosen.push_back(all[i]);

    golden::pack();  // drawn before the clock of the cases starts
    const auto drawn = std::chrono::steady_clock::now();
    const std::vector<uint32_t> hashes = runAll(chosen, 1);
    const auto swept = std::chrono::steady_clock::now();
    const auto seconds = [](auto from, auto to) { return std::chrono::duration<double>(to - from).count(); };
    std::printf("%zu of %zu cases; pack %.1f s, cases %.1f s\n", chosen.size(), all.size(), seconds(started, drawn),
                seconds(drawn, swept));

    std::vector<std::pair<std::string, std::string>> lines = exportLines(casesByFamily);
    for (size_t i = 0; i < chosen.size(); ++i) lines.push_back({chosen[i].name, hex(hashes[i])});

    int failures = 0;
    if (options.write) {
        std::ofstream out(options.table);
        out << "# The golden sweep: one line per case, NAME HASH (CRC-32 of the outputs),\n"
               "# and per export the number of cases that call it. Rewritten by scripts/update-golden.sh.\n";
        for (const auto& [name, value] : lines) out << name << ' ' << value << '\n';
        if (!out) {
            std::fprintf(stderr, "lumetra_golden: cannot write %s\n", options.table.c_str());
            return 2;
        }
        std::printf("wrote %zu lines to %s\n", lines.size(), options.table.c_str());
    } else if (options.check) {
        const std::map<std::string, std::string> table = readTable(options.table);
        if (table.empty()) {
            std::fprintf(stderr, "lumetra_golden: no table at %s\n", options.table.c_str());
            return 2;
        }
        std::set<std::string> seen;
        for (const auto& [name, value] : lines) {
            seen.insert(name);
            const auto found = table.find(name);
            if (found == table.end()) {
                std::printf("NEW     %s %s\n", name.c_str(), value.c_str()), ++failures;
            } else if (found->second != value) {
                std::printf("CHANGED %s %s (table %s)\n", name.c_str(), value.c_str(), found->second.c_str()), ++failures;
            }
        }
        if (!subset)
            for (const auto& [name, value] : table)
                if (!seen.contains(name)) std::printf("GONE    %s\n", name.c_str()), ++failures;
        std::printf("%d difference%s from %s\n", failures, failures == 1 ? "" : "s", options.table.c_str());
    }

    if (options.threads > 0) {
        const std::vector<uint32_t> again = runAll(chosen, options.threads);
        int differing = 0;
        for (size_t i = 0; i < chosen.size(); ++i)
            if (again[i] != hashes[i])
                std::printf("THREADS %s %s (one thread %s)\n", chosen[i].name.c_str(), hex(again[i]).c_str(),
                            hex(hashes[i]).c_str()),
                    ++differing;
        std::printf("%d of %zu cases differ on %d threads (%.1f s)\n", differing, chosen.size(), options.threads,
                    seconds(swept, std::chrono::steady_clock::now()));
        failures += differing;
    }
    return failures == 0 ? 0 : 1;
}
