// The donation page that btnCoffee opens in the default web browser.
#pragma once

namespace tarvex {

// The secure web address of a payment service's hosted donation button. A
// distributor sets it when configuring the build (TARVEX_DONATION_URL).
extern const wchar_t* const kDonationPage;

} // namespace tarvex
