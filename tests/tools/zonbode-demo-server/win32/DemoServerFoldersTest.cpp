// The Windows demo server in a folder the ANSI code page cannot name: it serves the page
// installed beside it, and one named by --page there.

#include <winsock2.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The source tree's page, which the server of a build also finds, is told apart by this.
constexpr char kMark[] = "<!-- the copy beside the program -->";

// The server, started with its output in a file; stopped when the object goes.
class RunningServer {
public:
    RunningServer(const fs::path& program, const std::wstring& arguments, const fs::path& out) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        // Deletable while open: a helper process of the child's console may hold it longer.
        HANDLE file = CreateFileW(out.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = file;
        startup.hStdError = file;
        std::wstring command = L"\"" + program.wstring() + L"\" --port 0 " + arguments;
        started_ = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE,
                                  CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process_);
        CloseHandle(file);
        if (!started_) {
            line_ = "not started: error " + std::to_string(GetLastError());
        }
        // Its first line, once written or once it has ended.
        while (started_ && line_.find('\n') == std::string::npos) {
            const bool ended = WaitForSingleObject(process_.hProcess, 100) == WAIT_OBJECT_0;
            std::ifstream in(out, std::ios::binary);
            line_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (ended) {
                break;
            }
        }
    }
    ~RunningServer() {
        if (started_) {
            TerminateProcess(process_.hProcess, 0);
            WaitForSingleObject(process_.hProcess, INFINITE);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }
    const std::string& Output() const { return line_; }
    int Port() const {
        const std::string prefix = "listening on 127.0.0.1:";
        return line_.rfind(prefix, 0) == 0 ? std::atoi(line_.c_str() + prefix.size()) : 0;
    }

private:
    BOOL started_ = FALSE;
    PROCESS_INFORMATION process_{};
    std::string line_;
};

std::string Fetch(int port) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    std::string answer;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const char request[] = "GET /waarschuwingen_en_verwachtingen/index.html HTTP/1.0\r\n\r\n";
        send(s, request, sizeof request - 1, 0);
        char chunk[4096];
        int got = 0;
        while ((got = recv(s, chunk, sizeof chunk, 0)) > 0) {
            answer.append(chunk, static_cast<std::size_t>(got));
        }
    }
    closesocket(s);
    WSACleanup();
    return answer;
}

// The manifest the program carries (resource type 24, id 1), empty when it has none.
std::string ManifestOf(const fs::path& program) {
    HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = image != nullptr
                         ? FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))
                         : nullptr;
    std::string manifest;
    if (resource != nullptr) {
        manifest.assign(static_cast<const char*>(LockResource(LoadResource(image, resource))),
                        SizeofResource(image, resource));
    }
    if (image != nullptr) {
        FreeLibrary(image);
    }
    return manifest;
}

// Removes what the test made below base, the deepest first, by the long names that are not
// bound by MAX_PATH.
void RemoveAll(const fs::path& base, const fs::path& folder) {
    const auto longName = [](const fs::path& path) { return L"\\\\?\\" + path.wstring(); };
    DeleteFileW(longName(folder / L"forecast-page.html").c_str());
    DeleteFileW(longName(folder / L"zonbode-demo-server.exe").c_str());
    for (fs::path level = folder; level != base.parent_path(); level = level.parent_path()) {
        RemoveDirectoryW(longName(level).c_str());
    }
    DeleteFileW(longName(base / L"out.txt").c_str());
    RemoveDirectoryW(longName(base).c_str());
}

struct Case {
    const char* name;
    bool pageOption;  // the page named by --page, the server left where it was built
    bool deep;        // the folder's path longer than MAX_PATH
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class DemoServerFolders : public ::testing::TestWithParam<Case> {};

TEST_P(DemoServerFolders, ServesThePageFromThere) {
    const fs::path base = fs::temp_directory_path() / L"zonbode-folders";
    fs::path folder = base / L"Programma's" / L"Zonbode-\u03A9";
    while (GetParam().deep && folder.native().size() <= MAX_PATH) {
        folder /= std::wstring(40, L'd');
    }
    RemoveAll(base, folder);  // what a failed run left
    fs::create_directories(folder);
    {
        std::ifstream in(fs::path(ZONBODE_DATA_DIR "/forecast-page.html"), std::ios::binary);
        std::ofstream out(folder / L"forecast-page.html", std::ios::binary);
        out << in.rdbuf() << kMark;
    }
    fs::path program = fs::path(ZONBODE_DEMO_SERVER_PATH);
    if (GetParam().deep) {
        // Windows opens such a path only for a program that says it can.
        EXPECT_NE(ManifestOf(program).find(">true</longPathAware>"), std::string::npos);
    }
    std::wstring arguments;
    if (GetParam().pageOption) {
        arguments = L"--page \"" + (folder / L"forecast-page.html").wstring() + L"\"";
    } else {
        program = folder / L"zonbode-demo-server.exe";
        fs::copy_file(fs::path(ZONBODE_DEMO_SERVER_PATH), program);
    }
    std::string answer;
    {
        RunningServer server(program, arguments, base / L"out.txt");
        ASSERT_NE(server.Port(), 0) << server.Output();
        answer = Fetch(server.Port());
    }
    RemoveAll(base, folder);
    EXPECT_NE(answer.find(kMark), std::string::npos) << answer.substr(0, 200);
}

INSTANTIATE_TEST_SUITE_P(Windows, DemoServerFolders,
                         ::testing::Values(Case{"BesideTheProgram", false, false},
                                           Case{"NamedByPageOption", true, false},
                                           Case{"NamedByPageOptionDeeperThanMaxPath", true, true}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
