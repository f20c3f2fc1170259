#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The --version option, the same for every program.
namespace zonbode {

// "--version" anywhere among a program's options asks for its version.
bool AsksForVersion(const std::vector<std::string>& options);

// The answer: "PROGRAM VERSION" and a newline.
std::string VersionLine(std::string_view program);

// When `options` ask for the version: writes the answer to standard output and gives the exit
// code (0, or 1 when it could not be written). nullopt: go on.
std::optional<int> AnswerVersion(std::string_view program, const std::vector<std::string>& options);

}  // namespace zonbode
