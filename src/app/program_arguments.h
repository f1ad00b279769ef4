// The program's command-line arguments as UTF-8 text, program name first. On Windows they are
// read in their wide form, so that a folder named in Russian arrives whole.
#pragma once

#include <string>
#include <vector>

namespace calcora {

std::vector<std::string> program_arguments(int argc, char** argv);

}  // namespace calcora
