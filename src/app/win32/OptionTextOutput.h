#pragma once

#include <string_view>

#include "app/ServerOptions.h"

namespace zonbode::app::win32 {

// zonbode.exe is a GUI program: it has standard output and error only where its starter gave
// them (a redirection to a file or pipe, a console that passed its handles on). There the
// usage, the version and option problems go; elsewhere, as when started from a shortcut, they
// are shown in a box.
void WriteOptionTextOrBox(OptionText kind, std::string_view text);

}  // namespace zonbode::app::win32
