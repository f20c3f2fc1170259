#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace zonbode::net {

// Type codes of the typed values the socket object sends and receives.
enum class VarType : std::int32_t {
    Empty = 0,
    Null = 1,
    Integer = 2,   // 16-bit signed
    Long = 3,      // 32-bit signed
    Single = 4,    // 32-bit float
    Double = 5,    // 64-bit float
    Currency = 6,  // 64-bit integer, value x 10000
    Date = 7,      // 64-bit float, OLE Automation date
    String = 8,    // text (UTF-8 inside the program)
    Object = 9,
    Boolean = 11,  // 16-bit: true is all bits set
    Byte = 17,
    ByteArray = 8209,  // 0x2011
};

struct Currency {
    std::int64_t scaled = 0;  // value x 10000
    friend bool operator==(const Currency&, const Currency&) = default;
};

struct Date {
    double value = 0.0;  // days since 30 December 1899
    friend bool operator==(const Date&, const Date&) = default;
};

struct NullValue {
    friend bool operator==(const NullValue&, const NullValue&) = default;
};

struct ObjectValue {
    friend bool operator==(const ObjectValue&, const ObjectValue&) = default;
};

// A small variant: one value of one of the types above. Text is UTF-8; bytes cross into
// text one byte per character through the 8-bit code page (AnsiCodePage.h).
class Variant {
public:
    using Bytes = std::vector<std::uint8_t>;

    Variant() = default;
    Variant(std::int16_t v) : value_(v) {}
    Variant(std::int32_t v) : value_(v) {}
    Variant(float v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(Currency v) : value_(v) {}
    Variant(Date v) : value_(v) {}
    Variant(std::string v) : value_(std::move(v)) {}
    Variant(const char* v) : value_(std::string(v)) {}
    Variant(bool v) : value_(v) {}
    Variant(std::uint8_t v) : value_(v) {}
    Variant(Bytes v) : value_(std::move(v)) {}
    Variant(NullValue v) : value_(v) {}
    Variant(ObjectValue v) : value_(v) {}

    VarType Type() const;
    bool IsEmpty() const { return Type() == VarType::Empty; }
    // True for the numeric types: Integer, Long, Single, Double, Currency, Date, Boolean, Byte.
    bool IsNumeric() const;
    // The numeric value as a 64-bit float; 0 for non-numeric values.
    double ToNumber() const;

    // Typed access; each requires the matching Type().
    std::int16_t AsInteger() const { return std::get<std::int16_t>(value_); }
    std::int32_t AsLong() const { return std::get<std::int32_t>(value_); }
    float AsSingle() const { return std::get<float>(value_); }
    double AsDouble() const { return std::get<double>(value_); }
    Currency AsCurrency() const { return std::get<Currency>(value_); }
    Date AsDate() const { return std::get<Date>(value_); }
    const std::string& AsString() const { return std::get<std::string>(value_); }
    bool AsBoolean() const { return std::get<bool>(value_); }
    std::uint8_t AsByte() const { return std::get<std::uint8_t>(value_); }
    const Bytes& AsBytes() const { return std::get<Bytes>(value_); }

    // The value as text, the way a caller converting it to text would see it ("80" for 80).
    std::string ToText() const;

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    std::variant<std::monostate, std::int16_t, std::int32_t, float, double, Currency, Date,
                 std::string, bool, std::uint8_t, Bytes, NullValue, ObjectValue>
        value_;
};

}  // namespace zonbode::net
