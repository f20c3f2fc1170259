// The page parser on a forecast page of several MB, against one std::string_view::find pass
// over the same buffer. The parser must stay linear and within 3x of that pass; the ratios are
// printed at the end of the run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <string_view>

#include "forecast/ForecastPage.h"
#include "text/AnsiCodePage.h"

namespace {

using namespace zonbode;

constexpr int kDays = 30000;

// A whole response: headers, a long stretch of ordinary page before the table, then a table of
// kDays days with seven value rows, values in the page's own styles (plain cells, cells with
// attributes, "&nbsp;", degree signs).
const std::string& LargePage() {
    static const std::string page = [] {
        std::string bytes =
            "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=iso-8859-1\r\n"
            "Connection: close\r\n\r\n<html><head><title>Verwachtingen</title></head><body>\n";
        for (int i = 0; i < 8000; ++i) {
            bytes += "<div class=\"menu\"><a href=\"/pagina/" + std::to_string(i) +
                     "\">Onderwerp " + std::to_string(i) +
                     "</a> &middot; <span>tekst</span>"
                     "</div>\n";
        }
        bytes += "<table class=\"verwachting\">\n<tr class=\"trcolor\"><th>&nbsp;</th>";
        static const char* kAbbreviations[] = {"ma", "di", "wo", "do", "vr", "za", "zo"};
        for (int d = 0; d < kDays; ++d) {
            bytes += std::string("<th class=\"dag\">") + kAbbreviations[d % 7] + "</th>";
        }
        bytes += "</tr>\n";
        for (int r = 1; r <= 7; ++r) {
            bytes += "<tr><td class=\"label\" align=\"left\">Rij " + std::to_string(r) + "</td>";
            for (int d = 0; d < kDays; ++d) {
                const std::string value = std::to_string((d * 7 + r * 13) % 100);
                switch ((d + r) % 4) {
                    case 0:
                        bytes += "<td>" + value + "</td>";
                        break;
                    case 1:
                        bytes += "<td>" + value + "\xB0</td>";
                        break;
                    case 2:
                        bytes += "<td>1&nbsp;-&nbsp;" + value + "</td>";
                        break;
                    default:
                        bytes += "<td align=\"center\">" + value + "</td>";
                }
            }
            bytes += "</tr>\n";
        }
        bytes += "</table>\n</body></html>\n";
        return text::BytesToText(bytes);
    }();
    return page;
}

void BM_ParseForecastPage(benchmark::State& state) {
    const std::string& page = LargePage();
    for (auto _ : state) {
        forecast::ParseOutcome outcome = forecast::ParseForecastPage(page);
        if (!outcome.ok() || outcome.rows.size() != kDays) {
            state.SkipWithError("the large page did not parse");
            return;
        }
        benchmark::DoNotOptimize(outcome);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

// One find pass: every "</td>" of the buffer, found left to right.
void BM_FindPass(benchmark::State& state) {
    const std::string_view page = LargePage();
    for (auto _ : state) {
        std::size_t count = 0;
        for (std::size_t at = page.find("</td>"); at != std::string_view::npos;
             at = page.find("</td>", at + 5)) {
            ++count;
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

// One find call for a marker that is not there, so it runs to the end of the buffer.
void BM_FindAbsentMarker(benchmark::State& state) {
    const std::string_view page = LargePage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(page.find("</tabel>"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

BENCHMARK(BM_ParseForecastPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAbsentMarker)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's best time per iteration (over --benchmark_repetitions, which the
// machine's load makes worth using) so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) {
                continue;
            }
            const double iterations = static_cast<double>(run.iterations);
            Best& best = best_[run.run_name.function_name];
            best.real = std::min(best.real, run.real_accumulated_time / iterations);
            best.cpu = std::min(best.cpu, run.cpu_accumulated_time / iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const {
        const auto parse = best_.find("BM_ParseForecastPage");
        if (parse == best_.end()) {
            return;
        }
        std::printf("page: %.1f MB; parser best: %.2f ms real, %.2f ms cpu\n",
                    LargePage().size() / 1e6, parse->second.real * 1e3, parse->second.cpu * 1e3);
        for (const char* reference : {"BM_FindPass", "BM_FindAbsentMarker"}) {
            if (const auto it = best_.find(reference); it != best_.end()) {
                std::printf("parser / %s: %.2fx real time, %.2fx cpu time\n", reference,
                            parse->second.real / it->second.real,
                            parse->second.cpu / it->second.cpu);
            }
        }
    }

private:
    struct Best {
        double real = std::numeric_limits<double>::infinity();
        double cpu = std::numeric_limits<double>::infinity();
    };
    std::map<std::string, Best> best_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
