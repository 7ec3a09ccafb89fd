// The window's controls as plain values, for testing the core's handlers.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/control_view.h"

namespace tarvex::testing {

class MemoryView final : public ControlView {
public:
    struct State {
        bool on = false;
        bool enabled = true;
        bool visible = true;
        std::wstring text;
        std::vector<std::wstring> items;
        std::vector<std::wstring> data;
        int selected = -1;
    };

    std::map<Control, State> controls;

    bool state(Control c) const override { return get(c).on; }
    void setState(Control c, bool on) override { controls[c].on = on; }
    std::wstring text(Control c) const override {
        const State& s = get(c);
        return s.selected >= 0 ? s.items[static_cast<std::size_t>(s.selected)] : s.text;
    }
    void setText(Control c, const std::wstring& text) override { controls[c].text = text; }
    bool enabled(Control c) const override { return get(c).enabled; }
    void setEnabled(Control c, bool enabled) override { controls[c].enabled = enabled; }
    void setVisible(Control c, bool visible) override { controls[c].visible = visible; }
    void clearItems(Control c) override {
        controls[c].items.clear();
        controls[c].data.clear();
        controls[c].selected = -1;
    }
    void addItem(Control c, const std::wstring& text, const std::wstring& data = {}) override {
        controls[c].items.push_back(text);
        controls[c].data.push_back(data);
    }
    int itemCount(Control c) const override { return static_cast<int>(get(c).items.size()); }
    std::wstring itemText(Control c, int index) const override {
        return get(c).items.at(static_cast<std::size_t>(index));
    }
    std::wstring itemData(Control c, int index) const override {
        return get(c).data.at(static_cast<std::size_t>(index));
    }
    void selectItem(Control c, int index) override {
        State& s = controls[c];
        s.selected = index >= 0 && index < static_cast<int>(s.items.size()) ? index : -1;
    }

    // Which of btnMD, btnMT, btnPB and btnPngJpeg are pressed, as "MD MT PB PJ".
    std::wstring pressed() const {
        std::wstring shown;
        for (auto [control, name] : {std::pair{Control::btnMD, L"MD"},
                                     {Control::btnMT, L"MT"},
                                     {Control::btnPB, L"PB"},
                                     {Control::btnPngJpeg, L"PJ"}}) {
            if (state(control)) {
                shown += shown.empty() ? name : std::wstring(L" ") + name;
            }
        }
        return shown;
    }

private:
    const State& get(Control c) const {
        static const State kUntouched;
        const auto found = controls.find(c);
        return found == controls.end() ? kUntouched : found->second;
    }
};

} // namespace tarvex::testing
