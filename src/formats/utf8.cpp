#include "formats/utf8.h"

#include <cstdint>
#include <type_traits>

namespace tarvex {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t c) {
    auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value & 0xFF)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

void appendUtf16(std::wstring& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<wchar_t>(c));
        return;
    }
    c -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
}

// The unit as an unsigned value: wchar_t is signed on Linux.
char32_t unitAt(std::wstring_view text, std::size_t i) {
    return static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
}

struct Decoded {
    char32_t character;
    std::size_t length;
};

// Lead bytes and the range their first continuation byte must lie in; the
// narrowed ranges exclude overlong forms, surrogates and values past U+10FFFF.
struct LeadRule {
    std::size_t continuations;
    unsigned char low;
    unsigned char high;
};

LeadRule leadRule(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return {1, 0x80, 0xBF};
    }
    if (lead == 0xE0) {
        return {2, 0xA0, 0xBF};
    }
    if (lead == 0xED) {
        return {2, 0x80, 0x9F};
    }
    if (lead >= 0xE1 && lead <= 0xEF) {
        return {2, 0x80, 0xBF};
    }
    if (lead == 0xF0) {
        return {3, 0x90, 0xBF};
    }
    if (lead >= 0xF1 && lead <= 0xF3) {
        return {3, 0x80, 0xBF};
    }
    if (lead == 0xF4) {
        return {3, 0x80, 0x8F};
    }
    return {0, 0, 0};
}

// One character from text[at]; an invalid sequence yields U+FFFD for its
// longest valid prefix (at least one byte), as Unicode recommends.
Decoded decodeAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    const LeadRule rule = leadRule(lead);
    if (rule.continuations == 0) {
        return {kReplacement, 1};
    }
    char32_t c = lead & (0x3F >> rule.continuations);
    for (std::size_t n = 1; n <= rule.continuations; ++n) {
        if (at + n >= text.size()) {
            return {kReplacement, n};
        }
        const auto next = static_cast<unsigned char>(text[at + n]);
        const unsigned char low = n == 1 ? rule.low : 0x80;
        const unsigned char high = n == 1 ? rule.high : 0xBF;
        if (next < low || next > high) {
            return {kReplacement, n};
        }
        c = (c << 6) | (next & 0x3F);
    }
    return {c, rule.continuations + 1};
}

} // namespace

std::string utf8FromUtf16(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = unitAt(text, i);
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(unitAt(text, i + 1))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(text, i + 1) - 0xDC00);
            ++i;
        } else if (isHighSurrogate(c) || isLowSurrogate(c) || c > 0x10FFFF) {
            c = kReplacement;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::wstring utf16FromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Decoded decoded = decodeAt(text, i);
        appendUtf16(out, decoded.character);
        i += decoded.length;
    }
    return out;
}

} // namespace tarvex
