#include "app/RunningCopy.h"

namespace zonbode::app {

bool GoOnAsTheRunningCopy(RunningCopies& copies) {
    if (copies.ClaimRunningCopy()) {
        return true;
    }
    copies.WakeRunningCopy();
    return false;
}

}  // namespace zonbode::app
