#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "http/HttpClient.h"

// What both HTTPS backends share about an answer's head, so they read it alike.
namespace zonbode::http {

// One "Name: value" line of an answer's head (line end removed or not), the value without
// the blanks around it; nullopt for a status line, an empty line or a line without a colon.
std::optional<std::pair<std::string, std::string>> ReadHeaderLine(std::string_view line);

// "no answer within 10 s" (or "... 2500 ms").
std::string TimeoutProblem(std::chrono::milliseconds timeout);

// Whether a URL is one HttpFetch takes: http:// or https:// with a host.
bool IsHttpUrl(std::string_view url);

// Turns an answer whose body is shorter than its Content-Length into a cut-off one.
void RefuseShortBody(HttpAnswer& answer);

}  // namespace zonbode::http
