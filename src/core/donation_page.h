// The donation page that btnCoffee opens in the default web browser.
#pragma once

#include "core/tool_services.h"

namespace tarvex {

// The secure web address of a payment service's hosted donation button. A
// distributor sets it when configuring the build (TARVEX_DONATION_URL).
extern const wchar_t* const kDonationPage;

// Hands the page to the default web browser. The tool neither waits for it
// nor reports anything: the browser shows its own errors.
void openDonationPage(ToolServices& services);

} // namespace tarvex
