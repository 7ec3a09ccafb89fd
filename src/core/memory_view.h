// The controls as plain values, for a front end without a window: the console
// program drives the core through them as the window drives it through its
// controls. A list shows its selected item as its text.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/control_view.h"

namespace tarvex {

class MemoryView final : public ControlView {
public:
    bool state(Control c) const override { return at(c).on; }
    void setState(Control c, bool on) override { at(c).on = on; }
    std::wstring text(Control c) const override {
        return at(c).selected < 0 ? at(c).text : itemText(c, at(c).selected);
    }
    void setText(Control c, const std::wstring& text) override { at(c).text = text; }
    bool enabled(Control c) const override { return at(c).enabled; }
    void setEnabled(Control c, bool enabled) override { at(c).enabled = enabled; }
    void setVisible(Control, bool) override {}
    void clearItems(Control c) override {
        at(c).items.clear();
        at(c).selected = -1;
    }
    void addItem(Control c, const std::wstring& text, const std::wstring& data) override {
        at(c).items.emplace_back(text, data);
    }
    int itemCount(Control c) const override { return static_cast<int>(at(c).items.size()); }
    std::wstring itemText(Control c, int i) const override { return item(c, i).first; }
    std::wstring itemData(Control c, int i) const override { return item(c, i).second; }
    void selectItem(Control c, int i) override { at(c).selected = i < itemCount(c) ? i : -1; }
    int selectedItem(Control c) const override { return at(c).selected; }

private:
    struct State {
        bool on = false, enabled = true;
        std::wstring text;
        std::vector<std::pair<std::wstring, std::wstring>> items; // text and data
        int selected = -1;
    };
    // Reading a control the core never set gives the state of a new one.
    State& at(Control c) const { return controls_[c]; }
    const std::pair<std::wstring, std::wstring>& item(Control c, int i) const {
        return at(c).items.at(static_cast<std::size_t>(i));
    }
    mutable std::map<Control, State> controls_;
};

} // namespace tarvex
