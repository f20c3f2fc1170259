#include "CliIo.h"

namespace zonbode::cli {

// The terminal hands over UTF-8 as it is.
std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace zonbode::cli
