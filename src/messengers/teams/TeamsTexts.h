#pragma once

#include <string_view>

// What Zonbode says to the user about the Teams link, in Dutch.
namespace zonbode::messengers {

inline constexpr std::string_view kTeamsSignedIn = "Aangemeld. Kies Afmelden om te stoppen.";
inline constexpr std::string_view kTeamsNotSignedIn =
    "Nog niet aangemeld. Vul de toepassings-ID (client-ID) van jullie app-registratie in en kies "
    "Aanmelden.";
inline constexpr std::string_view kTeamsNoClient =
    "Vul eerst de toepassings-ID (client-ID) van de app-registratie in.";
inline constexpr std::string_view kTeamsBadTenant =
    "De tenant is een naam als organizations, een domein (kavelo.nl) of een ID, zonder spaties.";
inline constexpr std::string_view kTeamsAsking = "Bezig met aanmelden...";
// "Ga naar URI en voer de code CODE in." is put together from these two.
inline constexpr std::string_view kTeamsGoTo = "Ga naar ";
inline constexpr std::string_view kTeamsEnterCode = " en voer de code in: ";
inline constexpr std::string_view kTeamsSignedInAs = "Aangemeld als ";
inline constexpr std::string_view kTeamsNotStored =
    ". Het aanmelden kon niet in de sleutelbos worden bewaard en geldt alleen tot Zonbode stopt.";
inline constexpr std::string_view kTeamsDeclined =
    "Het aanmelden is geweigerd. Kies Aanmelden om het opnieuw te proberen.";
inline constexpr std::string_view kTeamsExpired =
    "De code is verlopen voordat het aanmelden klaar was. Kies Aanmelden voor een nieuwe code.";
inline constexpr std::string_view kTeamsCancelled = "Aanmelden afgebroken.";
inline constexpr std::string_view kTeamsUnreachable =
    "Microsoft is niet bereikbaar. Controleer de verbinding en probeer het opnieuw.";
inline constexpr std::string_view kTeamsRefusedApp =
    "Microsoft weigert deze app-registratie. Controleer de toepassings-ID, de tenant, en of "
    "\"Allow public client flows\" aan staat.";
inline constexpr std::string_view kTeamsSignedOut =
    "Afgemeld. Zonbode zet je Teams-status niet meer.";
inline constexpr std::string_view kTeamsNotForgotten =
    "Afgemeld, maar het aanmelden kon niet uit de sleutelbos worden verwijderd.";
// Said once in the status bar when the refresh token is refused.
inline constexpr std::string_view kTeamsSignInAgain = "Teams vraagt opnieuw aanmelden";

}  // namespace zonbode::messengers
