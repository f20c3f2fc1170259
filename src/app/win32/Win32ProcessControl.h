#pragma once

#include "app/Ports.h"

namespace zonbode::app::win32 {

// Ends the process at once: no window closing, so no shutdown steps run.
class Win32ProcessControl final : public ProcessControl {
public:
    void EndProcess() override;
};

// Shows the Error event's box (when its handler let it be shown) as a critical message box.
void InstallErrorMessageBox();

}  // namespace zonbode::app::win32
