// A progress bar on stderr, drawn only when stderr is a terminal: the share
// done, the time taken and the estimated time left.
#pragma once

#include <chrono>
#include <string>

namespace cli {

class ProgressBar {
public:
    // `label` starts the line, `unit` names what is counted ("presets").
    ProgressBar(std::string label, std::string unit);

    void show(int done, int total) const;
    // Clears the bar's line so that a message can be printed in its place.
    void clear() const;
    double elapsed() const;

private:
    std::string label_, unit_;
    bool visible_;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace cli
