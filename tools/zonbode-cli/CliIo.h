#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Input and output shared by the commands. Everything goes through as bytes.
namespace zonbode::cli {

// Standard input and output carry bytes, untranslated (no CR/LF rewriting on Windows).
void UseBinaryStandardStreams();

// The program's arguments after its name, as UTF-8 text whatever the platform's code page.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The whole file, or the whole standard input when path is empty; nullopt when unreadable.
std::optional<std::string> ReadAllBytes(const std::string& path);

// Writes the bytes; false when the stream failed.
bool WriteAll(std::FILE* stream, std::string_view bytes);

// "zonbode-cli <command>: <problem>", the usage synopsis (first line of usage) and a pointer
// to --help on standard error; returns the usage exit code.
int UsageError(std::string_view command, std::string_view problem, std::string_view usage);

bool IsHelp(const std::string& argument);

}  // namespace zonbode::cli
