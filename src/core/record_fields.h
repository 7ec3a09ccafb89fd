// Reading the comma-separated texts of the selection record and of the UCRT
// version list items.
#pragma once

#include <cstdint>
#include <string>

namespace tarvex {

// Field n (from 1) of a comma-separated text; empty when it is missing.
std::wstring recordField(const std::wstring& text, int n);

// Leading spaces and tabs skipped, an optional sign, then the digits up to the
// first other character; no digits gives 0. Clamped to the 32-bit range.
std::int32_t decimalValue(const std::wstring& text);

// The version number of a UCRT version list item (" VS 2022, 17" gives
// "17"): its second field without surrounding blanks.
std::wstring vsVersionNumber(const std::wstring& itemText);

} // namespace tarvex
