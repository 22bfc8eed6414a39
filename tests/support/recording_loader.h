// A loader that serves pictures from memory and records every call, so the
// interpreter's loader contract can be checked. Every picture it hands out
// is a fresh copy that the library must release exactly once (the sanitizer
// build reports a leak or a double release).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/image.h"

namespace lumetra::test {

struct LoaderCall {
    int kind;
    std::string name;
    void* userData;
    bool operator==(const LoaderCall&) const = default;
};

class RecordingLoader {
public:
    // Serve `picture` (copied on each request) under `name`.
    void serve(const std::string& name, OwnedImage picture);
    // Serve a w x h picture of `channels` channels under each name.
    void serveAll(const std::vector<std::string>& names, int channels, int width = 8, int height = 6);

    std::vector<LoaderCall> calls;
    std::vector<std::string> names() const;

    static IplImage* LUMETRA_CALL load(int kind, const char* name, void* userData);
    // The user value fx must hand to load(): this loader itself.
    void* userData() { return this; }

private:
    std::map<std::string, OwnedImage> pictures_;
};

}  // namespace lumetra::test
