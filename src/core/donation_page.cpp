#include "core/donation_page.h"

// Written by CMake from the cache variable of the same name, which it has
// checked to be an https address without quotes, backslashes or blanks.
#include "donation_address.h"

namespace tarvex {

const wchar_t* const kDonationPage = L"" TARVEX_DONATION_URL;

void openDonationPage(ToolServices& services) {
    services.programs.startProgram(kDonationPage, L"", L"", StartOptions{});
}

} // namespace tarvex
