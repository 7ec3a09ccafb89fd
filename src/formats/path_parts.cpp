#include "formats/path_parts.h"

#include <algorithm>

namespace tarvex {
namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

template <typename Char> Char asciiLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

} // namespace

std::wstring directoryPart(const std::wstring& path) {
    std::size_t begin = (!path.empty() && path.front() == L'"') ? 1 : 0;
    std::size_t end = path.find(L'|', begin);
    if (end == std::wstring::npos) {
        end = path.size();
    }
    for (std::size_t i = end; i > begin; --i) {
        if (isSeparator(path[i - 1])) {
            return path.substr(begin, i - begin);
        }
    }
    return {};
}

std::wstring extensionPart(const std::wstring& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        const wchar_t c = path[i - 1];
        if (c == L' ' || isSeparator(c)) {
            return {};
        }
        if (c == L'.') {
            const std::size_t dot = i - 1;
            if (dot == 0 || isSeparator(path[dot - 1])) {
                return {};
            }
            const std::size_t quote = path.find(L'"', dot + 1);
            const std::size_t end = quote == std::wstring::npos ? path.size() : quote;
            return path.substr(dot + 1, end - dot - 1);
        }
    }
    return {};
}

std::wstring fileNamePart(const std::wstring& path, bool dropExtension) {
    std::size_t begin = path.find_last_of(L"\\/");
    if (begin != std::wstring::npos) {
        ++begin;
    } else {
        begin = (!path.empty() && path.front() == L'"') ? 1 : 0;
    }
    const std::size_t quote = path.find(L'"', begin);
    std::wstring name = path.substr(begin, quote == std::wstring::npos ? quote : quote - begin);
    if (!dropExtension) {
        return name;
    }
    for (std::size_t i = name.size(); i > 0; --i) {
        const wchar_t c = name[i - 1];
        if (c == L' ') {
            break;
        }
        if (c == L'.') {
            const std::size_t dot = i - 1;
            if (dot != 0 && dot != name.size() - 1) {
                name.resize(dot);
            }
            break;
        }
    }
    return name;
}

std::wstring asciiLowerCase(std::wstring text) {
    std::ranges::transform(text, text.begin(), asciiLower<wchar_t>);
    return text;
}

bool sameIgnoringAsciiCase(std::wstring_view text, std::wstring_view lower) {
    return std::ranges::equal(text, lower, {}, asciiLower<wchar_t>);
}

bool sameIgnoringAsciiCase(std::string_view text, std::string_view lower) {
    return std::ranges::equal(text, lower, {}, asciiLower<char>);
}

} // namespace tarvex
