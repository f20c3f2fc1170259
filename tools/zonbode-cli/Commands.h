#pragma once

#include <string>
#include <vector>

// The commands of zonbode-cli. Each gets the arguments after its own name and returns the
// process exit code.
namespace zonbode::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitParseFailed = 1;
inline constexpr int kExitUsage = 2;  // bad arguments, unreadable input, failed output

using Arguments = std::vector<std::string>;

int RunParse(const Arguments& args);
int RunCompose(const Arguments& args);
int RunRecord(const Arguments& args);
int RunFetch(const Arguments& args);

}  // namespace zonbode::cli
