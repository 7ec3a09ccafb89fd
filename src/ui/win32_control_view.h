// The core's view of the controls, mapped onto the control messages.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "core/control_view.h"

namespace tarvex {

class Win32ControlView final : public ControlView {
public:
    explicit Win32ControlView(HWND window) : window_(window) {}

    bool state(Control control) const override;
    void setState(Control control, bool on) override;
    std::wstring text(Control control) const override;
    void setText(Control control, const std::wstring& text) override;
    bool enabled(Control control) const override;
    void setEnabled(Control control, bool enabled) override;
    void setVisible(Control control, bool visible) override;

    void clearItems(Control list) override;
    void addItem(Control list, const std::wstring& text, const std::wstring& data = {}) override;
    int itemCount(Control list) const override;
    std::wstring itemText(Control list, int index) const override;
    std::wstring itemData(Control list, int index) const override;
    void selectItem(Control list, int index) override;
    int selectedItem(Control list) const override;

private:
    HWND item(Control control) const;

    HWND window_;
    // Item data lives here, in step with the list's items, so nothing needs
    // freeing when a list is refilled.
    std::map<Control, std::vector<std::wstring>> itemData_;
};

} // namespace tarvex
