// bqctl's value checks.
#include "bqctl/TextRules.h"

#include <cctype>
#include <charconv>

#include "protocol/FieldRules.h"
#include "runtime/IntConversion.h"

namespace {

bool AllHexDigits(const std::string& text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// The decimal channel 11..26 that two decimal digits name, or 0.
int DecimalChannel(const std::string& text) {
    if (text.size() != 2 || !std::isdigit(static_cast<unsigned char>(text[0])) ||
        !std::isdigit(static_cast<unsigned char>(text[1])))
        return 0;
    const int value = (text[0] - '0') * 10 + (text[1] - '0');
    return IsValidChannel(value) ? value : 0;
}

std::string TwoHexDigits(int32_t value) {
    static const char Digits[] = "0123456789ABCDEF";
    return {Digits[(value >> 4) & 0xF], Digits[value & 0xF]};
}

} // namespace

bool ParsePort(const std::string& text, int32_t& port) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 1 || value > 65535) return false;
    port = value;
    return true;
}

bool ParseGateway(const std::string& text, std::string& gateway, std::string& error) {
    bool printable = true;
    for (const char c : text)
        printable = printable && c > ' ' && c < 0x7F;
    if (text.size() != 4 || !printable) {
        error = "--gateway '" + text + "': four characters expected, such as 2001";
        return false;
    }
    gateway = text;
    for (char& c : gateway)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return true;
}

bool ParseTimeout(const std::string& text, std::chrono::milliseconds& timeout, std::string& error) {
    double seconds = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, seconds);
    if (text.empty() || ec != std::errc() || ptr != end || !(seconds > 0) || seconds > 3600) {
        error = "--timeout '" + text + "': seconds above 0 and at most 3600 expected";
        return false;
    }
    timeout = std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
    if (timeout.count() == 0) timeout = std::chrono::milliseconds(1);
    return true;
}

bool CheckFieldText(TMemoryField field, const std::string& text, const std::string& what,
                    std::string& error) {
    const size_t digits = field == TMemoryField::PanId ? 4 : 2;
    if (!AllHexDigits(text) || text.size() > digits) {
        error = what + " '" + text + "': hexadecimal number of up to " + std::to_string(digits) +
                " digits expected";
        return false;
    }
    const int32_t value = FieldValue(text);
    if (field == TMemoryField::Address && !IsValidDeviceAddress(value)) {
        error = what + " '" + text + "': device address out of range 02..FE";
        return false;
    }
    if (field == TMemoryField::Channel && !IsValidChannel(value)) {
        error = what + " '" + text + "': channel out of range 0B..1A";
        if (DecimalChannel(text) > 0)
            error += " (hexadecimal; for channel " + text + " give --channel-number " + text + ")";
        return false;
    }
    if (field != TMemoryField::Address && field != TMemoryField::Channel &&
        field != TMemoryField::PanId) {
        error = what + ": not a writable field";
        return false;
    }
    return true;
}

int32_t FieldValue(const std::string& text) {
    int32_t value = -1;
    if (!AllHexDigits(text) || !TryStrToInt("0x" + text, value)) return -1;
    return value;
}

std::string ChannelShown(const std::string& text) {
    const int32_t value = FieldValue(text);
    if (!IsValidChannel(value)) return text;
    return text + " (channel " + std::to_string(value) + ")";
}

std::string FieldShown(TMemoryField field, const std::string& text) {
    return field == TMemoryField::Channel ? ChannelShown(text) : text;
}

bool ParseChannelNumber(const std::string& text, std::string& hex, std::string& error) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !IsValidChannel(value)) {
        error = "--channel-number '" + text + "': a channel from " + std::to_string(LowestChannel) +
                " to " + std::to_string(HighestChannel) + " expected";
        return false;
    }
    hex = TwoHexDigits(value);
    return true;
}

std::string ChannelReadingWarning(const std::string& text) {
    const int decimal = DecimalChannel(text);
    const int32_t value = FieldValue(text);
    if (decimal == 0 || !IsValidChannel(value)) return {};
    return "--channel " + text + " is hexadecimal: " + ChannelShown(text) + "; for channel " +
           std::to_string(decimal) + " give --channel-number " + std::to_string(decimal) +
           " (or --channel " + TwoHexDigits(decimal) + ")";
}
