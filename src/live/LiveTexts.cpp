#include "live/LiveTexts.h"

#include <ctime>

namespace zonbode::live {
namespace {

std::string HttpErrorText(const PageFetch& fetch) {
    switch (fetch.status) {
        case 429:
            return "de weerdienst krijgt te veel vragen (fout 429)";
        case 503:
            return "de weerdienst is tijdelijk buiten dienst (fout 503)";
        default:
            return "de weerdienst meldt een fout (" + std::to_string(fetch.status) + ")";
    }
}

std::string WhatHappened(const PageFetch& fetch) {
    switch (fetch.kind) {
        case FetchProblem::NoLookup:
            return "geen verbinding met de weerdienst (naam niet gevonden)";
        case FetchProblem::Unreachable:
            return "de weerdienst is niet bereikbaar";
        case FetchProblem::Untrusted:
            return "de verbinding met de weerdienst is niet te vertrouwen (het certificaat wordt "
                   "niet aanvaard; kijk of de klok goed staat)";
        case FetchProblem::Silent:
            return "de weerdienst antwoordt niet";
        case FetchProblem::CutOff:
            return "het antwoord van de weerdienst is afgebroken";
        case FetchProblem::HttpError:
            // The service's own words say what to mend (a place outside its range, say).
            return HttpErrorText(fetch) + (fetch.reason.empty() ? "" : ": " + fetch.reason);
        case FetchProblem::BadAnswer:
            return "het antwoord van de weerdienst is onbruikbaar";
        case FetchProblem::None:
            break;
    }
    return "onbekende fout";
}

std::string Local(std::chrono::system_clock::time_point when, const char* format) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    char text[32] = "";
    // Only the loop's thread asks, so the shared result of localtime is safe here.
    if (const std::tm* local = std::localtime(&t)) {
        std::strftime(text, sizeof text, format, local);
    }
    return text;
}

std::string Capitalized(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

}  // namespace

std::string ProblemText(const PageFetch& fetch, std::chrono::system_clock::time_point nextTry,
                        std::optional<std::chrono::system_clock::time_point> shownSince) {
    std::string text = Capitalized(WhatHappened(fetch));
    text += "; volgende poging om " + Local(nextTry, "%H:%M");
    if (shownSince) {
        text += "; verwachting van " + Local(*shownSince, "%d-%m-%Y, %H:%M");
    }
    return text;
}

std::string SearchProblemText(const PageFetch& fetch) {
    return "Zoeken lukt niet: " + WhatHappened(fetch);
}

}  // namespace zonbode::live
