#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "live/ForecastSource.h"

// The live source's texts for the user, in one place.
namespace zonbode::live {

// "De weerdienst antwoordt niet; volgende poging om 14:05", and, when a forecast is shown,
// "; verwachting van 09-12-2026, 13:35" after it. Times are local.
std::string ProblemText(const PageFetch& fetch, std::chrono::system_clock::time_point nextTry,
                        std::optional<std::chrono::system_clock::time_point> shownSince);

// "Zoeken lukt niet: de weerdienst is niet bereikbaar".
std::string SearchProblemText(const PageFetch& fetch);

}  // namespace zonbode::live
