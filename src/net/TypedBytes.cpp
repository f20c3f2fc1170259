#include "net/TypedBytes.h"

#include <bit>

#include "text/AnsiCodePage.h"

namespace zonbode::net {
namespace {

void AppendLittleEndian(std::string& out, std::uint64_t bits, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
}

std::uint64_t ReadLittleEndian(const std::uint8_t* bytes, std::size_t count) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < count; ++i) {
        bits |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    }
    return bits;
}

}  // namespace

std::optional<std::string> TypedBytes(const Variant& value) {
    std::string out;
    switch (value.Type()) {
        case VarType::Integer:
            AppendLittleEndian(out, static_cast<std::uint16_t>(value.AsInteger()), 2);
            break;
        case VarType::Long:
            AppendLittleEndian(out, static_cast<std::uint32_t>(value.AsLong()), 4);
            break;
        case VarType::Single:
            AppendLittleEndian(out, std::bit_cast<std::uint32_t>(value.AsSingle()), 4);
            break;
        case VarType::Double:
            AppendLittleEndian(out, std::bit_cast<std::uint64_t>(value.AsDouble()), 8);
            break;
        case VarType::Currency:
            AppendLittleEndian(out, static_cast<std::uint64_t>(value.AsCurrency().scaled), 8);
            break;
        case VarType::Date:
            AppendLittleEndian(out, std::bit_cast<std::uint64_t>(value.AsDate().value), 8);
            break;
        case VarType::String:
            out = text::TextToBytes(value.AsString());
            break;
        case VarType::Boolean:
            AppendLittleEndian(out, value.AsBoolean() ? 0xFFFFu : 0u, 2);
            break;
        case VarType::Byte:
            out.push_back(static_cast<char>(value.AsByte()));
            break;
        case VarType::ByteArray: {
            const auto& bytes = value.AsBytes();
            out.assign(bytes.begin(), bytes.end());
            break;
        }
        default:
            return std::nullopt;
    }
    return out;
}

std::size_t FixedSizeOf(VarType type) {
    switch (type) {
        case VarType::Byte:
            return 1;
        case VarType::Integer:
        case VarType::Boolean:
            return 2;
        case VarType::Long:
        case VarType::Single:
            return 4;
        case VarType::Double:
        case VarType::Currency:
        case VarType::Date:
            return 8;
        default:
            return 0;
    }
}

Variant FixedValueFromBytes(VarType type, const std::uint8_t* bytes) {
    const std::uint64_t bits = ReadLittleEndian(bytes, FixedSizeOf(type));
    switch (type) {
        case VarType::Byte:
            return Variant(static_cast<std::uint8_t>(bits));
        case VarType::Integer:
            return Variant(static_cast<std::int16_t>(static_cast<std::uint16_t>(bits)));
        case VarType::Boolean:
            return Variant(bits != 0);
        case VarType::Long:
            return Variant(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
        case VarType::Single:
            return Variant(std::bit_cast<float>(static_cast<std::uint32_t>(bits)));
        case VarType::Double:
            return Variant(std::bit_cast<double>(bits));
        case VarType::Currency:
            return Variant(Currency{static_cast<std::int64_t>(bits)});
        case VarType::Date:
            return Variant(Date{std::bit_cast<double>(bits)});
        default:
            return Variant();
    }
}

}  // namespace zonbode::net
