#pragma once

#include <functional>
#include <string>

namespace zonbode::net {

// Shows the modal box of an Error event whose handler cleared CancelDisplay. The front-end
// sets it; without one the text goes to standard error.
using MessageBoxHook = std::function<void(const std::string& text, const std::string& title)>;
void SetMessageBoxHook(MessageBoxHook hook);

// Shows the box through the hook, or writes it to standard error without one.
void ShowMessageBox(const std::string& text, const std::string& title);

// Writes "title: text" as one line to standard error: the headless form of the box, and
// where an error goes that nothing else reports.
void WriteErrorLine(const std::string& text, const std::string& title);

}  // namespace zonbode::net
