#pragma once

#include "app/Ports.h"
#include "messengers/teams/TeamsLink.h"

namespace zonbode::app {

// The Teams app registration as the settings keep it ("TeamsClient", "TeamsTenant"); a tenant
// that is missing or not one reads as "organizations".
messengers::TeamsApp ReadTeamsApp(SettingsStore& settings);
// Kept once a sign-in with it has worked.
void StoreTeamsApp(SettingsStore& settings, const messengers::TeamsApp& app);

}  // namespace zonbode::app
