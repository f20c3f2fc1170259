#include "net/Variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "text/AnsiCodePage.h"

namespace zonbode::net {
namespace {

// Shortest text that reads back as the same number ("1.5", "80", "-0.25").
template <typename Number>
std::string NumberText(Number value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Infinity" : "Infinity";
    }
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) {
        return "0";
    }
    return std::string(buffer, end);
}

std::string CurrencyText(std::int64_t scaled) {
    const bool negative = scaled < 0;
    // Work in unsigned so that the most negative value has a magnitude too.
    const std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(scaled) + 1 : static_cast<std::uint64_t>(scaled);
    std::string text = std::to_string(magnitude / 10000);
    std::string fraction = std::to_string(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (!fraction.empty()) {
        text += "." + fraction;
    }
    return negative ? "-" + text : text;
}

}  // namespace

VarType Variant::Type() const {
    switch (value_.index()) {
        case 0:
            return VarType::Empty;
        case 1:
            return VarType::Integer;
        case 2:
            return VarType::Long;
        case 3:
            return VarType::Single;
        case 4:
            return VarType::Double;
        case 5:
            return VarType::Currency;
        case 6:
            return VarType::Date;
        case 7:
            return VarType::String;
        case 8:
            return VarType::Boolean;
        case 9:
            return VarType::Byte;
        case 10:
            return VarType::ByteArray;
        case 11:
            return VarType::Null;
        default:
            return VarType::Object;
    }
}

bool Variant::IsNumeric() const {
    switch (Type()) {
        case VarType::Integer:
        case VarType::Long:
        case VarType::Single:
        case VarType::Double:
        case VarType::Currency:
        case VarType::Date:
        case VarType::Boolean:
        case VarType::Byte:
            return true;
        default:
            return false;
    }
}

double Variant::ToNumber() const {
    switch (Type()) {
        case VarType::Integer:
            return AsInteger();
        case VarType::Long:
            return AsLong();
        case VarType::Single:
            return AsSingle();
        case VarType::Double:
            return AsDouble();
        case VarType::Currency:
            return static_cast<double>(AsCurrency().scaled) / 10000.0;
        case VarType::Date:
            return AsDate().value;
        case VarType::Boolean:
            return AsBoolean() ? -1.0 : 0.0;  // true is all bits set
        case VarType::Byte:
            return AsByte();
        default:
            return 0.0;
    }
}

std::string Variant::ToText() const {
    switch (Type()) {
        case VarType::Integer:
            return std::to_string(AsInteger());
        case VarType::Long:
            return std::to_string(AsLong());
        case VarType::Single:
            return NumberText(AsSingle());
        case VarType::Double:
            return NumberText(AsDouble());
        case VarType::Currency:
            return CurrencyText(AsCurrency().scaled);
        case VarType::Date:
            return NumberText(AsDate().value);
        case VarType::String:
            return AsString();
        case VarType::Boolean:
            return AsBoolean() ? "True" : "False";
        case VarType::Byte:
            return std::to_string(AsByte());
        case VarType::ByteArray: {
            const auto& bytes = AsBytes();
            return text::BytesToText(
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        }
        default:
            return {};
    }
}

}  // namespace zonbode::net
