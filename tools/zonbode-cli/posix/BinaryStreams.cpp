#include "CliIo.h"

namespace zonbode::cli {

// POSIX streams never translate line ends.
void UseBinaryStandardStreams() {}

}  // namespace zonbode::cli
