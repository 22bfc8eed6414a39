#include "shared_pack.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "cli/picture_pack.h"

namespace test {

namespace {
std::string* packDir = nullptr;

void removePack() {
    std::error_code ignored;
    std::filesystem::remove_all(*packDir, ignored);
}
}  // namespace

const std::string& sharedPackDir() {
    if (!packDir) {
        packDir = new std::string(
            (std::filesystem::temp_directory_path() / ("lumetra-pack-" + std::to_string(::getpid()))).string());
        cli::pack::writePack(*packDir);
        std::atexit(removePack);
    }
    return *packDir;
}

}  // namespace test
