#pragma once
// pelt-cli render and bench: the 3D view drawn off screen through the same
// ModelView the desktop program shows.

#include <string>
#include <vector>

namespace pelt::cli {

int runRender(const std::vector<std::string>& args);
int runBench(const std::vector<std::string>& args);

}  // namespace pelt::cli
