// The picture pack, drawn once per test process (a few seconds) for every
// suite that needs it, and removed when the process ends.
#pragma once

#include <string>

namespace test {

const std::string& sharedPackDir();

}  // namespace test
