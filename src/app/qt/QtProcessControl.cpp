#include "app/qt/QtProcessControl.h"

#include <cstdio>
#include <cstdlib>

namespace zonbode::app::qt {

void QtProcessControl::EndProcess() {
    std::fflush(nullptr);
    // No destructors, no event loop: the window's close handling must not run.
    std::_Exit(EXIT_FAILURE);
}

}  // namespace zonbode::app::qt
