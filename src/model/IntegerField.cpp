#include "IntegerField.h"

#include <limits>

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

bool ParseDialogInteger(std::string_view text, std::int32_t& value) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
    const std::size_t firstNonBlank = pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t digitsBegin = pos;
    std::int64_t magnitude = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) {
            return false; // too large for 32 bits
        }
        ++pos;
    }
    if (pos == digitsBegin) {
        return false;
    }
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
    if (pos != text.size()) {
        return false;
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    // "-0" and "+0" are refused: a zero must be written starting with the digit 0.
    if (signedValue == 0 && text[firstNonBlank] != '0') {
        return false;
    }
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

EIntegerField ReadIntegerField(std::string_view text, std::int32_t& value) {
    return ParseDialogInteger(text, value) ? EIntegerField::Ok : EIntegerField::NotAnInteger;
}

EIntegerField ReadIntegerField(std::string_view text, std::int32_t& value, std::int32_t min,
                               std::int32_t max) {
    if (!ParseDialogInteger(text, value)) {
        return EIntegerField::NotAnInteger;
    }
    return value < min || value > max ? EIntegerField::OutOfRange : EIntegerField::Ok;
}

std::string EnterIntegerBetweenMessage(std::int32_t min, std::int32_t max) {
    return "Please enter an integer between " + std::to_string(min) + " and " +
           std::to_string(max) + ".";
}
