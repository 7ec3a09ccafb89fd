#include "ui/message_box.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "platform/win32/unique_handle.h"

namespace tarvex {
namespace {

constexpr unsigned kQuestion = MB_YESNO | MB_ICONQUESTION;

std::wstring textOf(HWND window) {
    wchar_t text[512]{};
    ::GetWindowTextW(window, text, 512);
    return text;
}

struct BoxSearch {
    const std::wstring* title; // any box of this process when null
    HWND found;
};

BOOL CALLBACK matchBox(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<BoxSearch*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t className[16]{};
    if (process != ::GetCurrentProcessId() || !::IsWindowVisible(window) ||
        !::GetClassNameW(window, className, 16) || std::wstring(className) != L"#32770" ||
        (search.title && textOf(window) != *search.title)) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

HWND waitForBox(const std::wstring* title, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 20) {
        BoxSearch search{title, nullptr};
        ::EnumWindows(matchBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            return search.found;
        }
        ::Sleep(20);
    }
    return nullptr;
}

// Answers the box titled `title` from a second thread: runs `inspect` on it,
// then clicks `button`. A box that never shows under that title is still
// closed, so that a failing test does not leave showMessage blocked.
std::thread answerBox(std::wstring title, int button, std::function<void(HWND)> inspect,
                      bool& found) {
    return std::thread([title = std::move(title), button, inspect = std::move(inspect), &found] {
        HWND box = waitForBox(&title, 10000);
        found = box != nullptr;
        if (box) {
            inspect(box);
        } else {
            box = waitForBox(nullptr, 5000);
        }
        if (HWND control = ::GetDlgItem(box, button)) {
            ::PostMessageW(control, BM_CLICK, 0, 0);
        } else if (box) {
            ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
        }
    });
}

TEST(ShowMessage, AsksWithYesAndNoAndReturnsTheButtonClicked) {
    const std::wstring text = L"Replace the selected libraries?\nThe originals are kept.";
    for (int button : {IDYES, IDNO}) {
        bool found = false;
        std::wstring shownText;
        bool yesVisible = false;
        bool noVisible = false;
        std::thread answer = answerBox(
            L"Tarvex question", button,
            [&](HWND box) {
                shownText = textOf(::GetDlgItem(box, 0xFFFF));
                yesVisible = ::IsWindowVisible(::GetDlgItem(box, IDYES));
                noVisible = ::IsWindowVisible(::GetDlgItem(box, IDNO));
            },
            found);
        const int result = showMessage(L"Tarvex question", text, kQuestion);
        answer.join();

        ASSERT_TRUE(found) << "no box titled \"Tarvex question\" appeared";
        EXPECT_EQ(result, button);
        EXPECT_EQ(shownText, text);
        EXPECT_TRUE(yesVisible);
        EXPECT_TRUE(noVisible);
    }
}

// Windows keeps the box icon in the static with id 20; Wine uses id 1088, so
// under Wine this checks the fallback to 1088.
TEST(ShowMessage, ShowsTheProgramIcon) {
    ASSERT_NE(programIcon(), nullptr);
    bool found = false;
    LRESULT shownIcon = 0;
    std::thread answer = answerBox(
        L"Tarvex icon", IDOK,
        [&](HWND box) {
            HWND icon = ::GetDlgItem(box, 20);
            if (!icon) {
                icon = ::GetDlgItem(box, 1088);
            }
            // The box can be visible a moment before its activation runs the
            // hook that swaps the icon.
            const auto wanted = reinterpret_cast<LRESULT>(programIcon());
            for (int waited = 0; waited < 1000 && shownIcon != wanted; waited += 20) {
                shownIcon = ::SendMessageW(icon, STM_GETIMAGE, IMAGE_ICON, 0);
                ::Sleep(20);
            }
        },
        found);
    const int result =
        showMessage(L"Tarvex icon", L"The library was selected.", MB_ICONINFORMATION);
    answer.join();

    ASSERT_TRUE(found);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shownIcon, reinterpret_cast<LPARAM>(programIcon()));
}

LRESULT CALLBACK plainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

UniqueWindow makeWindow(const wchar_t* title, DWORD exStyle) {
    static const ATOM windowClass = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = plainWindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TarvexModalityTestWindow";
        return ::RegisterClassW(&wc);
    }();
    return UniqueWindow(::CreateWindowExW(exStyle, MAKEINTATOM(windowClass), title,
                                          WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200,
                                          nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

bool isTopmost(HWND window) {
    return (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST(ShowMessage, DisablesTheThreadsWindowsAndLowersTopmostOnesWhileUp) {
    UniqueWindow background = makeWindow(L"Background", 0);
    UniqueWindow disabled = makeWindow(L"Disabled", 0);
    UniqueWindow topmost = makeWindow(L"Topmost", WS_EX_TOPMOST);
    ASSERT_TRUE(background && disabled && topmost);
    ::EnableWindow(disabled.get(), FALSE);
    ::SetForegroundWindow(topmost.get());
    ASSERT_EQ(::GetForegroundWindow(), topmost.get());
    ASSERT_TRUE(isTopmost(topmost.get()));

    bool found = false;
    bool backgroundEnabledWhileUp = true;
    bool topmostWhileUp = true;
    HWND owner = nullptr;
    std::thread answer = answerBox(
        L"Tarvex modal", IDOK,
        [&](HWND box) {
            backgroundEnabledWhileUp = ::IsWindowEnabled(background.get());
            topmostWhileUp = isTopmost(topmost.get());
            owner = ::GetWindow(box, GW_OWNER);
        },
        found);
    const int result = showMessage(L"Tarvex modal", L"Select a library first.", MB_ICONWARNING);
    answer.join();

    ASSERT_TRUE(found);
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(backgroundEnabledWhileUp);
    EXPECT_FALSE(topmostWhileUp);
    EXPECT_EQ(owner, topmost.get()) << "the box belongs to the foreground window";
    EXPECT_TRUE(::IsWindowEnabled(background.get()));
    EXPECT_TRUE(::IsWindowEnabled(topmost.get()));
    EXPECT_TRUE(isTopmost(topmost.get()));
    EXPECT_FALSE(::IsWindowEnabled(disabled.get())) << "a window disabled before stays disabled";
}

} // namespace
} // namespace tarvex
