// Feeds arbitrary responses to the page parser. Raw bytes must never crash it; after the
// code-page conversion (as the program does it) it must agree with the split-by-step
// reference parser on every outcome.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "forecast/ForecastPage.h"
#include "forecast/ReferenceParser.h"
#include "text/AnsiCodePage.h"

using namespace zonbode;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const forecast::ParseOutcome raw = forecast::ParseForecastPage(bytes);
    if (raw.rows.size() > static_cast<std::size_t>(forecast::kMaxTablePosition) ||
        forecast::ParseFailureMessage(raw.failureCode).empty()) {
        std::abort();
    }

    const std::string text = text::BytesToText(bytes);
    const forecast::ParseOutcome fast = forecast::ParseForecastPage(text);
    const forecast::ParseOutcome slow = forecast::reference::Parse(text);
    if (fast.failureCode != slow.failureCode || fast.tableCleared != slow.tableCleared ||
        fast.rows != slow.rows) {
        std::abort();
    }
    if (!fast.ok() && fast.failureCode == forecast::kPageMissing &&
        (fast.tableCleared || !fast.rows.empty())) {
        std::abort();
    }
    return 0;
}
