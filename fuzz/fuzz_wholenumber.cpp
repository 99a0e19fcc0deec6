// The program's integer conversion, against a plain reading of its rule: leading blanks, a sign, then
// decimal digits within 32 bits, or at most eight hexadecimal digits after "$", "x" or "0x".
#include "app/numbers.h"
#include "fuzzcheck.h"

#include <cstdint>
#include <optional>
#include <string>

namespace {

std::optional<int> Reference(const std::u16string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    const std::u16string digits = text.substr(i);
    if (digits.empty() || (base == 16 && digits.size() > 8))
        return std::nullopt;
    std::int64_t value = 0;
    for (char16_t c : digits) {
        int d = -1;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        if (d < 0)
            return std::nullopt;
        value = value * base + d;
        if (base == 10 && value > 2147483648LL)
            return std::nullopt;
    }
    if (base == 16) {
        const auto bits = static_cast<std::uint32_t>(value);
        return static_cast<int>(negative ? 0u - bits : bits);
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    FUZZ_CHECK(ParseWholeNumber(text) == Reference(text.toStdU16String()));
    return 0;
}
