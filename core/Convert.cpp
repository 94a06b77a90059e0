#include "core/Convert.h"

#include <limits>

#include "core/Exception.h"

namespace System {

int64_t Convert::ToInt64(const String& text)
{
    String trimmed = text.Trim();
    int position = 0;
    bool negative = false;
    if (position < trimmed.GetLength() && (trimmed[position] == L'-' || trimmed[position] == L'+')) {
        negative = trimmed[position] == L'-';
        ++position;
    }
    if (position == trimmed.GetLength()) throw new FormatException(L"Not a number: \"" + text + L"\"");
    // Accumulate as a negative number so that the smallest value fits.
    int64_t value = 0;
    const int64_t lowest = std::numeric_limits<int64_t>::min();
    for (; position < trimmed.GetLength(); ++position) {
        wchar_t c = trimmed[position];
        if (c < L'0' || c > L'9') throw new FormatException(L"Not a number: \"" + text + L"\"");
        int digit = c - L'0';
        if (value < (lowest + digit) / 10) throw new FormatException(L"Number out of range: \"" + text + L"\"");
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == lowest) throw new FormatException(L"Number out of range: \"" + text + L"\"");
        value = -value;
    }
    return value;
}

int32_t Convert::ToInt32(const String& text)
{
    int64_t value = ToInt64(text);
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        throw new FormatException(L"Number out of range: \"" + text + L"\"");
    return static_cast<int32_t>(value);
}

String Convert::ToString(int64_t value, int base)
{
    if (base == 10) return String::Format(L"%I64d", value);
    int bits;
    switch (base) {
    case 2: bits = 1; break;
    case 8: bits = 3; break;
    case 16: bits = 4; break;
    default: throw new ArgumentException(L"The base must be 2, 8, 10 or 16.");
    }
    uint64_t rest = static_cast<uint64_t>(value);
    std::wstring digits;
    do {
        digits.insert(digits.begin(), L"0123456789abcdef"[rest & ((1u << bits) - 1)]);
        rest >>= bits;
    } while (rest != 0);
    return String(std::move(digits));
}

String Convert::ToString(int32_t value, int base)
{
    if (base == 10) return ToString(static_cast<int64_t>(value), 10);
    return ToString(static_cast<int64_t>(static_cast<uint32_t>(value)), base);
}

}  // namespace System
