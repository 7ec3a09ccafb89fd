#include "core/donation_page.h"

// The build passes the address, already checked to be an https address
// without quotes, backslashes or blanks.
#ifndef TARVEX_DONATION_URL
#error "TARVEX_DONATION_URL is set by the CMake cache variable of the same name"
#endif

namespace tarvex {

const wchar_t* const kDonationPage = L"" TARVEX_DONATION_URL;

void openDonationPage(ToolServices& services) {
    services.programs.startProgram(kDonationPage, L"", L"", StartOptions{});
}

} // namespace tarvex
