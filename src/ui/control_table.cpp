#include "ui/control_table.h"

namespace tarvex {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kToggle = kChild | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE;
constexpr DWORD kBigToggle = kToggle | BS_MULTILINE;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kPushButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kFrame = kChild | BS_GROUPBOX;
constexpr DWORD kDropDown = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
// A button with an image draws the image and not its text, so the picture
// buttons' texts are only the names a screen reader announces.
constexpr DWORD kPicture = BS_ICON;

} // namespace

const std::array<ControlSpec, 18> kControlTable{{
    {Control::btnCopyDirectives, L"Button", kPushButton | kPicture, 0, 19, 39, 13, 13,
     L"Copy MD(d) linker directives"},
    {Control::btnMD, L"Button", kBigToggle | WS_CLIPSIBLINGS, 0, 15, 35, 115, 44,
     L"/MD\r\n(dynamic)"},
    {Control::btnPngJpeg, L"Button", kToggle | kPicture, 0, 139, 39, 13, 13,
     L"PB's libpng/libjpeg for DLL's"},
    {Control::btnMT, L"Button", kBigToggle | WS_CLIPSIBLINGS, 0, 135, 35, 115, 44,
     L"/MT\r\n(static)"},
    {Control::cmbUcrtVersion, L"ComboBox", kDropDown, 0, 255, 36, 115, 21, L""},
    {Control::chkDebug, L"Button", kCheckBox, 0, 255, 61, 115, 20, L"Dbg (MDd/MTd)"},
    {Control::frmUcrt, L"Button", kFrame, 0, 5, 9, 375, 80, L"UCRT  (C Backend)"},
    {Control::btnPB, L"Button", kBigToggle, 0, 395, 35, 115, 44, L"PB\r\n(dynamic)"},
    {Control::frmCrt, L"Button", kFrame, 0, 385, 9, 135, 80, L"CRT  (ASM/C Backend)"},
    {Control::txtStatus, L"Static", kChild | SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0, 5, 93, 375,
     20, L""},
    {Control::chkBuildPane, L"Button", kCheckBox, 0, 390, 93, 55, 20, L"Build"},
    {Control::chkAutoClose, L"Button", kCheckBox, 0, 447, 93, 75, 20, L"AutoClose"},
    {Control::edtSdkVersion, L"Edit", kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 15,
     156, 80, 20, L""},
    {Control::cmbVsVersion, L"ComboBox", kDropDown, 0, 100, 155, 280, 21, L""},
    {Control::btnBuild, L"Button", kPushButton, 0, 385, 154, 55, 23, L"Build"},
    {Control::frmBuild, L"Button", kFrame, 0, 5, 130, 445, 57,
     L"Build UCRT Library  (drop 'Native Tools Command Prompt')"},
    {Control::btnCoffee, L"Button", kPushButton | kPicture, 0, 465, 154, 45, 23,
     L"Donate a cup of coffee"},
    {Control::frmCoffee, L"Button", kFrame, 0, 455, 130, 65, 57, L"Coffee"},
}};

} // namespace tarvex
