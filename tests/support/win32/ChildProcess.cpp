#include "ChildProcess.h"

#include "ChildStreamFiles.h"

#include <windows.h>

#include <filesystem>
#include <stdexcept>

namespace zonbode::testing {
namespace {

namespace fs = std::filesystem;

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// A build made on the Unix side of wine names its programs by Unix paths; wine's drive Z: is
// the Unix root.
std::wstring ProgramPath(const std::string& program) {
    std::wstring path = Widen(program);
    if (!path.empty() && path.front() == L'/') {
        path.insert(0, L"Z:");
    }
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

// Quoted so that the child's C runtime (and CommandLineToArgvW) reads back exactly `argument`.
std::wstring Quote(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote itself escaped.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(2 * backslashes, L'\\');  // before the closing quote
    quoted.push_back(L'"');
    return quoted;
}

HANDLE OpenInherited(const fs::path& path, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    // Deletable while open: a helper process of the child's console may hold it a while longer.
    return CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& input) {
    const ChildStreamFiles files(input);
    HANDLE streams[3] = {OpenInherited(files.In(), false), OpenInherited(files.Out(), true),
                         OpenInherited(files.Err(), true)};

    // The arguments travel as UTF-16, as they do when a user types them.
    const std::wstring application = ProgramPath(program);
    std::wstring commandLine = Quote(application);
    for (const std::string& arg : args) {
        commandLine += L" " + Quote(Widen(arg));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = streams[0];
    startup.hStdOutput = streams[1];
    startup.hStdError = streams[2];
    PROCESS_INFORMATION process{};
    // Under wine a session that is still starting has been seen to refuse a new process once;
    // a few tries a moment apart ride that out.
    BOOL started = FALSE;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0) {
            Sleep(500);
        }
        started = CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                 CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    }
    for (HANDLE stream : streams) {
        CloseHandle(stream);
    }
    if (!started) {
        const DWORD error = GetLastError();
        throw std::runtime_error("cannot start " + program + ", error " + std::to_string(error));
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    return files.Collect(static_cast<int>(exitCode));
}

}  // namespace zonbode::testing
