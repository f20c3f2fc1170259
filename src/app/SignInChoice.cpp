#include "app/SignInChoice.h"

#include "app/StoredSettings.h"

namespace zonbode::app {

bool SignInChoiceAtStart(std::string_view storedText, const SignInEntry& entry) {
    if (storedText.empty()) {
        return entry.Look() != SignInEntry::State::Missing;
    }
    return settings::IsSwitchedOn(storedText);
}

void KeepSignInEntry(SignInEntry& entry, bool on) {
    const SignInEntry::State state = entry.Look();
    if (on && state != SignInEntry::State::InPlace) {
        entry.Put();  // missing, or left behind by a copy that has moved
    } else if (!on && state != SignInEntry::State::Missing) {
        entry.Remove();
    }
}

}  // namespace zonbode::app
