// The real Tarvex.exe with the keyboard alone, and what a screen reader reads.
#include <gtest/gtest.h>

#include <oleacc.h>

#include "driver.h"
#include "ui/hover_help.h"

namespace tarvex::e2e {
namespace {

constexpr int kShift = 0x100; // typed with Shift, as VkKeyScanW marks a key

// Into the foreground window; a Shift key-up while none is held does nothing.
void type(std::initializer_list<int> keys) {
    for (const int key : keys) {
        ::keybd_event(VK_SHIFT, 0, key & kShift ? 0 : KEYEVENTF_KEYUP, 0);
        ::keybd_event(LOBYTE(key), 0, 0, 0);
        ::keybd_event(LOBYTE(key), 0, KEYEVENTF_KEYUP, 0);
        ::keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    }
}

int focusedId() {
    GUITHREADINFO info{}; // of the foreground window
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(0, &info) ? ::GetDlgCtrlID(info.hwndFocus) : -1;
}

std::wstring accessibleName(const WindowDriver& window, Control id) {
    Microsoft::WRL::ComPtr<IAccessible> object;
    BSTR name = nullptr;
    ::AccessibleObjectFromWindow(window.control(id), DWORD(OBJID_CLIENT), IID_PPV_ARGS(&object));
    const VARIANT self{{{VT_I4, 0, 0, 0, {CHILDID_SELF}}}};
    const std::wstring text = object && object->get_accName(self, &name) == S_OK ? name : L"";
    ::SysFreeString(name);
    return text;
}

TEST(Keyboard, TabGoesInReadingOrderSpaceAndEnterPressOnlyTheFocusedToggleEscCloses) {
    ToolSession session;
    const WindowDriver window = session.start(L"Game.dll");
    ASSERT_TRUE(window.handle() && ::SetForegroundWindow(window.handle()));
    const auto focused = [](int id) { return waitUntil([&] { return focusedId() == id; }, 3s); };
    ASSERT_TRUE(focused(6)) << "at start: btnPB, the recorded choice";

    // Identifiers in reading order. A walk goes once round from chkBuildPane,
    // past the pane's four (11 to 15) while it is hidden.
    const int order[] = {1, 17, 2, 18, 3, 4, 6, 9, 10, 11, 12, 13, 15};
    const auto walk = [&](int key, bool pane) {
        for (std::size_t step = 1, n = std::size(order); step <= n; ++step) {
            const int id = order[(7 + (key == VK_TAB ? step : n - step)) % n];
            if (pane || id < 11 || id > 15) {
                type({key});
                ASSERT_TRUE(focused(id)) << id << " not " << focusedId();
                EXPECT_EQ(window.text(Control::txtStatus), hoverHelpText(id, true)) << id;
            }
        }
    };
    type({kShift | VK_TAB, VK_SPACE, VK_TAB, VK_TAB}); // chkDebug ticked: Dbg texts
    ASSERT_NO_FATAL_FAILURE(walk(VK_TAB, false));
    type({VK_SPACE}); // shows the pane
    ASSERT_NO_FATAL_FAILURE(walk(VK_TAB, true));
    ASSERT_NO_FATAL_FAILURE(walk(kShift | VK_TAB, true));

    // Space and Enter (sent as IDOK: btnMD) do what a click on the toggle does.
    const auto active = [&](const wchar_t* copy, const char* record) {
        return waitUntil([&] { return session.library(L"Tarvex.cfg") == stateFile(record); }, 3s) &&
               session.library(L"msvcrt.lib") == session.library(copy); // copied first
    };
    type({VK_SPACE, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_SPACE}); // past the hidden pane
    EXPECT_TRUE(focused(2) && active(L"_MTd_msvcrt.lib", "17,1,3,0"));
    type({VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_RETURN});
    EXPECT_TRUE(focused(6) && active(L"_PB_msvcrt.lib", "0,0,1,0"));
    EXPECT_EQ(accessibleName(window, Control::btnCopyDirectives), L"Copy MD(d) linker directives");
    EXPECT_EQ(accessibleName(window, Control::btnPngJpeg), L"PB's libpng/libjpeg for DLL's");
    EXPECT_EQ(accessibleName(window, Control::btnCoffee), L"Donate a cup of coffee");
    type({VK_ESCAPE});
    EXPECT_EQ(session.tool->waitForExit(5s), 0u);
    EXPECT_TRUE(active(L"_PB_msvcrt.lib", "0,0,1,0"));
}

} // namespace
} // namespace tarvex::e2e
