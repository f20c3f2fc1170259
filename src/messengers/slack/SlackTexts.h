#pragma once

#include <string_view>

// What Zonbode says to the user about the Slack link, in Dutch.
namespace zonbode::messengers {

// What the dialog's answer line says.
inline constexpr std::string_view kSlackLinked =
    "Er is een token bewaard. Kies Test om te zien of het nog werkt.";
inline constexpr std::string_view kSlackNotLinked =
    "Nog niet gekoppeld. Plak het User OAuth Token van je Slack-app en kies Test.";
inline constexpr std::string_view kSlackNoToken = "Plak eerst het token (xoxp-...) in het vak.";
inline constexpr std::string_view kSlackConnectedAs = "Verbonden als ";
inline constexpr std::string_view kSlackTesting = "Bezig met testen...";
inline constexpr std::string_view kSlackDisconnecting = "Bezig met loskoppelen...";
inline constexpr std::string_view kSlackTokenHasBlank =
    "Het token bevat een spatie, een regeleinde of een ander onzichtbaar teken. Kopieer het "
    "opnieuw, zonder iets erbij.";
inline constexpr std::string_view kSlackBotToken =
    "Dit is een bot-token. Zonbode heeft het User OAuth Token (xoxp-...) nodig: de status is "
    "van jou, niet van de bot.";
inline constexpr std::string_view kSlackMissingScopes = "Dit token mist het recht ";
inline constexpr std::string_view kSlackReinstall =
    ". Voeg het toe onder OAuth & Permissions, installeer de app opnieuw en plak het nieuwe "
    "token.";
inline constexpr std::string_view kSlackNotStored =
    ". Het token kon niet in de sleutelbos worden bewaard en geldt alleen tot Zonbode stopt.";
inline constexpr std::string_view kSlackDisconnected =
    "Losgekoppeld. Zonbode zet je Slack-status niet meer.";
inline constexpr std::string_view kSlackNotForgotten =
    "Losgekoppeld, maar het token kon niet uit de sleutelbos worden verwijderd.";

}  // namespace zonbode::messengers
