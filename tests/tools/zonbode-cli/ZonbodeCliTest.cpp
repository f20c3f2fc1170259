#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "forecast/ForecastPage.h"
#include "status/StatusMessage.h"

namespace zonbode::cli {
namespace {

using testing::ChildResult;

ChildResult Cli(const std::vector<std::string>& args, const std::string& input = {}) {
    return testing::RunChild(ZONBODE_CLI_PATH, args, input);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string SampleResponse() {
    const std::string body = ReadFile(std::string(ZONBODE_DATA_DIR) + "/forecast-page.html");
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=iso-8859-1\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

const std::string kSampleRows =
    "Maandag\t40\t30\t0\t3\xC2\xB0\t9\xC2\xB0\tZW\t3\n"
    "Dinsdag\t25\t70\t1 - 3\t5\xC2\xB0\t11\xC2\xB0\tW\t5\n"
    "Woensdag\t10\t90\t4 - 8\t7\xC2\xB0\t12\xC2\xB0\tZW\t6\n"
    "Donderdag\t35\t60\t1\t6\xC2\xB0\t10\xC2\xB0\tNW\t4\n"
    "Vrijdag\t60\t20\t0\t2\xC2\xB0\t8\xC2\xB0\tN\t3\n"
    "Zaterdag\t70\t10\t0\t-1\xC2\xB0\t6\xC2\xB0\tNO\t2\n"
    "Zondag\t45\t40\t0 - 2\t1\xC2\xB0\t7\xC2\xB0\tO\t3\n";

// A saved response in a temporary file, removed again by the test.
class SavedResponse {
public:
    explicit SavedResponse(const std::string& bytes,
                           const std::u8string& name = u8"zonbode-cli-response-")
        : path_(std::filesystem::temp_directory_path() /
                (name + std::filesystem::path(std::to_string(std::random_device{}())).u8string())) {
        std::ofstream out(path_, std::ios::binary);
        out << bytes;
    }
    ~SavedResponse() { std::filesystem::remove(path_); }
    // UTF-8, as the program's arguments are.
    std::string Path() const {
        const std::u8string path = path_.u8string();
        return std::string(path.begin(), path.end());
    }

private:
    std::filesystem::path path_;
};

// --- parse --------------------------------------------------------------------------------

TEST(CliParse, SamplePageFromAFile) {
    // Also one whose name the ANSI code page cannot write.
    for (const std::u8string name : {u8"zonbode-cli-response-", u8"zonbode-\u03A9-response-"}) {
        SavedResponse saved(SampleResponse(), name);
        const ChildResult result = Cli({"parse", saved.Path()});
        EXPECT_EQ(result.exitCode, 0) << saved.Path();
        EXPECT_EQ(result.out, kSampleRows);
        EXPECT_EQ(result.err, "");
    }
}

TEST(CliParse, SamplePageFromStandardInput) {
    const ChildResult result = Cli({"parse"}, SampleResponse());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, kSampleRows);
}

TEST(CliParse, ControlCharactersAndBackslashesAreEscaped) {
    const ChildResult result =
        Cli({"parse"},
            "trcolor<th></th><th>ma</th></tr><tr><td>l</td><td>a\tb\\c\x01\x1f\r\n"
            "\x7f\xB0</td></tr></table>");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "Maandag\ta\\tb\\\\c\\x01\\x1f\\r\\n\x7f\xC2\xB0\t\t\t\t\t\t\n");
}

TEST(CliParse, EmptyTableGivesNoLines) {
    const ChildResult result = Cli({"parse"}, "trcolor</table>");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
}

TEST(CliParse, MissingPageWritesTheOfflineMessage) {
    const ChildResult result = Cli({"parse"}, "");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, forecast::ParseFailureMessage(forecast::kPageMissing));
    EXPECT_NE(result.err.find("offline.\r\nAls deze"), std::string::npos);
}

TEST(CliParse, OtherFailuresWriteTheirCode) {
    const ChildResult result =
        Cli({"parse"},
            "trcolor<th></th><th>ma</th></tr><tr><td>l</td><td>1</td><td>2</td>"
            "</tr></table>");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Er is een fout opgestreden in de verbinding!\r\nCode: 35600");
}

TEST(CliParse, UnreadableFileAndExtraArgumentsAreUsageErrors) {
    const ChildResult missing = Cli({"parse", "/nonexistent/zonbode/response.txt"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("cannot read /nonexistent/zonbode/response.txt"), std::string::npos);
    EXPECT_EQ(missing.out, "");

    const ChildResult directory = Cli({"parse", "/"});
    EXPECT_EQ(directory.exitCode, 2);

    const ChildResult extra = Cli({"parse", "a", "b"});
    EXPECT_EQ(extra.exitCode, 2);
    EXPECT_NE(extra.err.find("Usage: zonbode-cli parse"), std::string::npos);
}

// --- compose ------------------------------------------------------------------------------

TEST(CliCompose, FillsTheTemplateAndEndsTheLine) {
    const ChildResult result = Cli({"compose", std::string(status::kDefaultTemplate), "Woensdag",
                                    "40", "70", "3", "8", "12", "ZW", "4"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "Woensdag | Kans op zon: 40% | Neerslag: 3mm / 70% | Temp: 12 | Wind: ZW4\n");
}

TEST(CliCompose, MissingFieldsAreEmptyAndTextIsUtf8) {
    const ChildResult result =
        Cli({"compose", "[dag]: [midtemp]C [kracht]", "Zondag", "", "", "", "", "7\xC2\xB0"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "Zondag: 7\xC2\xB0"
              "C \n");
}

TEST(CliCompose, BadArgumentsAreUsageErrors) {
    EXPECT_EQ(Cli({"compose"}).exitCode, 2);
    const ChildResult tooMany = Cli({"compose", "t", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    EXPECT_EQ(tooMany.exitCode, 2);
    EXPECT_EQ(tooMany.out, "");
    EXPECT_NE(tooMany.err.find("more than eight fields"), std::string::npos);
}

// --- record -------------------------------------------------------------------------------

std::string AsString(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(CliRecord, SwitchOffRecordByteForByte) {
    const ChildResult result = Cli({"record", "Music", "0", "{0} - {1}"});
    EXPECT_EQ(result.exitCode, 0);
    const std::string expected(
        "\x5C\x00\x30\x00\x4D\x00\x75\x00\x73\x00\x69\x00\x63\x00\x5C\x00\x30\x00\x30\x00"
        "\x5C\x00\x30\x00\x7B\x00\x30\x00\x7D\x00\x20\x00\x2D\x00\x20\x00\x7B\x00\x31\x00"
        "\x7D\x00\x5C\x00\x30\x00\x5C\x00\x30\x00\x5C\x00\x30\x00\x5C\x00\x30\x00\x5C\x00"
        "\x30\x00\x00\x00",
        64);
    EXPECT_EQ(result.out, expected);
}

TEST(CliRecord, ComposedStatusRecordWithUtf8Text) {
    const ChildResult result = Cli({"record", "Office", "1", "{0}", "Temp: 9\xC2\xB0\n"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.size(), 54u + 2 * 9);  // the LF is written as it stands
    EXPECT_EQ(result.out, AsString(status::StatusPayload("Office", true, "{0}", "Temp: 9\xC2\xB0\n",
                                                         "", "", "")));
}

TEST(CliRecord, ArgumentsOutsideAsciiArriveWhole) {
    // Degrees and a sun: Latin-1, the rest of the BMP, and a character beyond it.
    const std::string text =
        "12\xC2\xB0"
        "C \xE2\x98\x80 \xF0\x9F\x8C\x9E";
    const ChildResult result = Cli({"record", "Office", "1", "{0}", text});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, AsString(status::StatusPayload("Office", true, "{0}", text, "", "", "")));
    const ChildResult composed = Cli({"compose", "[dag]: [zon]", text, "\xE2\x98\x80"});
    EXPECT_EQ(composed.out, text + ": \xE2\x98\x80\n");
}

TEST(CliRecord, BadArgumentsAreUsageErrors) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"record", "Office", "1"},
          std::vector<std::string>{"record", "Office", "yes", "{0}"},
          std::vector<std::string>{"record", "Office", "", "{0}"},
          std::vector<std::string>{"record", "C", "1", "F", "a", "b", "c", "d", "e"}}) {
        const ChildResult result = Cli(args);
        EXPECT_EQ(result.exitCode, 2) << args.size();
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("Usage: zonbode-cli record"), std::string::npos);
    }
}

// --- help and commands --------------------------------------------------------------------

TEST(CliHelp, EveryCommandHasHelp) {
    const ChildResult top = Cli({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    for (const char* command : {"parse", "compose", "record"}) {
        EXPECT_NE(top.out.find(command), std::string::npos) << command;
        const ChildResult help = Cli({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("Usage: zonbode-cli ") + command, 0), 0u) << help.out;
        EXPECT_EQ(help.err, "");
    }
}

TEST(CliHelp, AnswersItsVersionInPlaceOfACommand) {
    const ChildResult version = Cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("zonbode-cli ", 0), 0u) << version.out;
    EXPECT_EQ(Cli({"compose", "--version"}).out, "--version\n");
}

TEST(CliHelp, MissingOrUnknownCommandIsAUsageError) {
    const ChildResult none = Cli({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.err.find("no command given"), std::string::npos);
    const ChildResult unknown = Cli({"forecast"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("unknown command \"forecast\""), std::string::npos);
}

}  // namespace
}  // namespace zonbode::cli
