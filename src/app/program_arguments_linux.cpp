#include "app/program_arguments.h"

namespace calcora {

std::vector<std::string> program_arguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace calcora
