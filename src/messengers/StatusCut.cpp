#include "messengers/StatusCut.h"

#include <utility>
#include <vector>

namespace zonbode::messengers {
namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // U+2026

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The code point that starts at `at`; U+FFFD for a byte that starts none.
char32_t DecodeAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80    ? 1
                         : lead >= 0xF0 ? 4
                         : lead >= 0xE0 ? 3
                         : lead >= 0xC0 ? 2
                                        : 0;
    if (length == 0 || lead >= 0xF8 || at + length > text.size()) {
        return 0xFFFD;
    }
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuationByte(text[at + i])) {
            return 0xFFFD;
        }
        point = (point << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    }
    return point;
}

// Characters that belong to the one before them: combining marks, joiners, variation
// selectors, skin tones, emoji tags, the vowels and finals of decomposed Hangul.
bool Extends(char32_t c) {
    static constexpr std::pair<char32_t, char32_t> kRanges[] = {
        {0x0300, 0x036F},   {0x0483, 0x0489},   {0x0591, 0x05BD}, {0x0610, 0x061A},
        {0x064B, 0x065F},   {0x0E31, 0x0E31},   {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E},
        {0x1160, 0x11FF},   {0x1AB0, 0x1AFF},   {0x1DC0, 0x1DFF}, {0x200C, 0x200D},
        {0x20D0, 0x20FF},   {0xFE00, 0xFE0F},   {0xFE20, 0xFE2F}, {0x1F3FB, 0x1F3FF},
        {0xE0020, 0xE007F}, {0xE0100, 0xE01EF},
    };
    for (const auto& [first, last] : kRanges) {
        if (c >= first && c <= last) {
            return true;
        }
    }
    return false;
}

bool IsRegionalIndicator(char32_t c) {
    return c >= 0x1F1E6 && c <= 0x1F1FF;
}

// Whether a cut before points[at] leaves every cluster whole: not inside CR LF, not before a
// character that extends the one before, not after a joiner, not inside a flag's pair.
bool IsClusterBoundary(const std::vector<char32_t>& points, std::size_t at) {
    const char32_t before = points[at - 1];
    const char32_t next = points[at];
    if ((before == U'\r' && next == U'\n') || Extends(next) || before == 0x200D) {
        return false;
    }
    if (IsRegionalIndicator(next)) {
        std::size_t run = 0;
        while (run < at && IsRegionalIndicator(points[at - 1 - run])) {
            ++run;
        }
        return run % 2 == 0;
    }
    return true;
}

}  // namespace

std::string CutToCharacters(std::string_view text, std::size_t limit) {
    // Each character (code point) with the byte it starts at; stray continuation bytes go with
    // the character before them.
    std::vector<std::size_t> starts;
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsContinuationByte(text[i])) {
            continue;
        }
        starts.push_back(i);
        points.push_back(DecodeAt(text, i));
    }
    if (points.size() <= limit) {
        return std::string(text);
    }
    // The longest run of whole clusters that leaves room for the ellipsis.
    std::size_t keep = limit - 1;
    while (keep > 0 && !IsClusterBoundary(points, keep)) {
        --keep;
    }
    return std::string(text.substr(0, starts[keep])) + std::string(kEllipsis);
}

}  // namespace zonbode::messengers
