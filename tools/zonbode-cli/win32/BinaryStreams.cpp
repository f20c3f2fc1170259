#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "CliIo.h"

namespace zonbode::cli {

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace zonbode::cli
