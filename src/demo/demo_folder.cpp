#include "demo/demo_folder.h"

namespace pelt {

bool writeDemoGameFolder(const std::string&, std::string* error) {
  if (error) *error = "the demo folder is not available yet";
  return false;
}

}  // namespace pelt
