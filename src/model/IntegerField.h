#pragma once
// How the numeric dialogs read an integer field, and the two messages they refuse with.
#include <cstdint>
#include <string>
#include <string_view>

enum class EIntegerField { Ok, NotAnInteger, OutOfRange };

// Spaces and tabs around, an optional sign, decimal digits. Refused: empty text, anything after
// the number, a value too large for 32 bits, or the value 0 when the first non-blank character
// is not the digit 0 ("-0", "+0").
bool ParseDialogInteger(std::string_view text, std::int32_t& value);

// Parses and range-checks (bounds included). value holds the number whenever it parsed.
EIntegerField ReadIntegerField(std::string_view text, std::int32_t& value, std::int32_t min,
                               std::int32_t max);
EIntegerField ReadIntegerField(std::string_view text, std::int32_t& value); // no range

inline constexpr const char* kMsgEnterInteger = "Please enter an integer.";
// "Please enter an integer between %1 and %2." with the bounds filled in.
std::string EnterIntegerBetweenMessage(std::int32_t min, std::int32_t max);
