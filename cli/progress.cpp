#include "cli/progress.h"

#include <unistd.h>

#include <cstdio>

namespace cli {

ProgressBar::ProgressBar(std::string label, std::string unit)
    : label_(std::move(label)), unit_(std::move(unit)), visible_(::isatty(STDERR_FILENO) != 0),
      started_(std::chrono::steady_clock::now()) {}

void ProgressBar::show(int done, int total) const {
    if (!visible_) return;
    constexpr int kWidth = 30;
    const int filled = total > 0 ? done * kWidth / total : kWidth;
    const std::string bar = std::string(static_cast<size_t>(filled), '#') +
                            std::string(static_cast<size_t>(kWidth - filled), '.');
    const double seconds = elapsed();
    // The time left assumes the rest goes at the pace so far.
    const double left = done > 0 ? seconds / done * (total - done) : 0.0;
    std::fprintf(stderr, "\r%s [%s] %3d/%d %s  %5.1f s", label_.c_str(), bar.c_str(), done, total, unit_.c_str(),
                 seconds);
    if (done > 0 && done < total) std::fprintf(stderr, ", about %.0f s left ", left);
    else std::fprintf(stderr, "%*s", 20, "");
    if (done == total) std::fputc('\n', stderr);
    std::fflush(stderr);
}

void ProgressBar::clear() const {
    if (visible_) std::fprintf(stderr, "\r\033[K");
}

double ProgressBar::elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

}  // namespace cli
