#include "ui/win32_control_view.h"

namespace tarvex {
namespace {

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

HWND Win32ControlView::item(Control control) const {
    return ::GetDlgItem(window_, static_cast<int>(control));
}

bool Win32ControlView::state(Control control) const {
    return ::SendMessageW(item(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32ControlView::setState(Control control, bool on) {
    ::SendMessageW(item(control), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::wstring Win32ControlView::text(Control control) const {
    HWND window = item(control);
    wchar_t className[16]{};
    ::GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"ComboBox") {
        const int selected = selectedItem(control);
        return selected >= 0 ? itemText(control, selected) : std::wstring();
    }
    return windowText(window);
}

void Win32ControlView::setText(Control control, const std::wstring& text) {
    ::SetWindowTextW(item(control), text.c_str());
}

bool Win32ControlView::enabled(Control control) const {
    return ::IsWindowEnabled(item(control)) != FALSE;
}

void Win32ControlView::setEnabled(Control control, bool enabled) {
    ::EnableWindow(item(control), enabled ? TRUE : FALSE);
}

void Win32ControlView::setVisible(Control control, bool visible) {
    ::ShowWindow(item(control), visible ? SW_SHOW : SW_HIDE);
}

void Win32ControlView::clearItems(Control list) {
    ::SendMessageW(item(list), CB_RESETCONTENT, 0, 0);
    itemData_[list].clear();
}

void Win32ControlView::addItem(Control list, const std::wstring& text, const std::wstring& data) {
    ::SendMessageW(item(list), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    itemData_[list].push_back(data);
}

int Win32ControlView::itemCount(Control list) const {
    return static_cast<int>(::SendMessageW(item(list), CB_GETCOUNT, 0, 0));
}

std::wstring Win32ControlView::itemText(Control list, int index) const {
    HWND window = item(list);
    const auto length = ::SendMessageW(window, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = ::SendMessageW(window, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
    return text;
}

std::wstring Win32ControlView::itemData(Control list, int index) const {
    const auto found = itemData_.find(list);
    if (found == itemData_.end() || index < 0 ||
        static_cast<std::size_t>(index) >= found->second.size()) {
        return {};
    }
    return found->second[static_cast<std::size_t>(index)];
}

int Win32ControlView::selectedItem(Control list) const {
    return static_cast<int>(::SendMessageW(item(list), CB_GETCURSEL, 0, 0));
}

void Win32ControlView::selectItem(Control list, int index) {
    ::SendMessageW(item(list), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

} // namespace tarvex
