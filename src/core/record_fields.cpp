#include "core/record_fields.h"

#include <limits>

namespace tarvex {

std::wstring recordField(const std::wstring& text, int n) {
    std::size_t begin = 0;
    for (int field = 1; field < n; ++field) {
        begin = text.find(L',', begin);
        if (begin == std::wstring::npos) {
            return {};
        }
        ++begin;
    }
    const std::size_t end = text.find(L',', begin);
    return text.substr(begin, end == std::wstring::npos ? end : end - begin);
}

std::int32_t decimalValue(const std::wstring& text) {
    std::size_t i = text.find_first_not_of(L" \t");
    if (i == std::wstring::npos) {
        return 0;
    }
    const bool negative = text[i] == L'-';
    if (text[i] == L'-' || text[i] == L'+') {
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9' && value <= kLimit; ++i) {
        value = value * 10 + (text[i] - L'0');
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

std::wstring vsVersionNumber(const std::wstring& itemText) {
    const std::wstring field = recordField(itemText, 2);
    const std::size_t first = field.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        return {};
    }
    return field.substr(first, field.find_last_not_of(L' ') - first + 1);
}

} // namespace tarvex
