#include "app/StoredTeamsApp.h"

#include "app/StoredSettings.h"

namespace zonbode::app {

messengers::TeamsApp ReadTeamsApp(SettingsStore& settings) {
    messengers::TeamsApp app;
    app.client = settings.ReadRegValue(settings::kTeamsClientPath);
    const std::string tenant = settings.ReadRegValue(settings::kTeamsTenantPath);
    if (messengers::IsTeamsTenant(tenant)) {
        app.tenant = tenant;
    }
    return app;
}

void StoreTeamsApp(SettingsStore& settings, const messengers::TeamsApp& app) {
    settings.WriteRegValues(
        {{settings::kTeamsClientPath, app.client}, {settings::kTeamsTenantPath, app.tenant}});
}

}  // namespace zonbode::app
