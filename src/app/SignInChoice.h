#pragma once

#include <string_view>

#include "app/Ports.h"

// "Start bij aanmelden": the stored choice and the sign-in entry kept in step with it.
namespace zonbode::app {

// The choice at start-up: the stored value when there is one (only 1 counts as on); with
// nothing stored, whether an entry is there already (one an earlier setup wrote is kept).
bool SignInChoiceAtStart(std::string_view storedText, const SignInEntry& entry);

// While the choice is on the entry starts this program; while it is off there is none. An
// entry that is right already is left alone.
void KeepSignInEntry(SignInEntry& entry, bool on);

}  // namespace zonbode::app
