#pragma once

#include "app/Ports.h"

namespace zonbode::app::qt {

// Ends the program at once, without the shutdown steps (nothing stored, nothing sent).
class QtProcessControl : public ProcessControl {
public:
    void EndProcess() override;
};

}  // namespace zonbode::app::qt
