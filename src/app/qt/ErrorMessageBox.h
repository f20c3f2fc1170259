#pragma once

namespace zonbode::app::qt {

// Makes the socket layer's Error-event boxes Qt message boxes titled with the error's source.
void InstallErrorMessageBox();

}  // namespace zonbode::app::qt
