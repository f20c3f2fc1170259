#include "ForecastRows.h"

#include <string_view>

namespace zonbode::cli {
namespace {

void AppendEscaped(std::string& out, std::string_view field) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (byte < 0x20) {
                    out += "\\x";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 0x0F];
                } else {
                    out += c;  // UTF-8 bytes of other characters pass as they are
                }
        }
    }
}

}  // namespace

std::string FormatForecastRows(const std::vector<forecast::ForecastDay>& rows) {
    std::string out;
    for (const forecast::ForecastDay& day : rows) {
        for (std::size_t column = 0; column < day.size(); ++column) {
            if (column > 0) {
                out += '\t';
            }
            AppendEscaped(out, day[column]);
        }
        out += '\n';
    }
    return out;
}

}  // namespace zonbode::cli
