#include "net/MessageBoxHook.h"

#include <iostream>
#include <utility>

namespace zonbode::net {
namespace {

MessageBoxHook& CurrentHook() {
    static MessageBoxHook hook;
    return hook;
}

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) {
    CurrentHook() = std::move(hook);
}

void ShowMessageBox(const std::string& text, const std::string& title) {
    // Copied so that a hook which replaces itself while it runs stays valid.
    MessageBoxHook hook = CurrentHook();
    if (hook) {
        hook(text, title);
    } else {
        WriteErrorLine(text, title);
    }
}

void WriteErrorLine(const std::string& text, const std::string& title) {
    std::cerr << title << ": " << text << std::endl;
}

}  // namespace zonbode::net
