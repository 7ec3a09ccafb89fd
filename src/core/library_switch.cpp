#include "core/library_switch.h"

#include <array>
#include <functional>
#include <optional>
#include <set>

#include "core/library_store.h"
#include "core/record_fields.h"
#include "core/selection_record.h"

namespace tarvex {
namespace {

constexpr std::array<Control, 3> kCrtButtons{Control::btnMD, Control::btnMT, Control::btnPB};

// Indexed by debug state * 2 + code - 1.
constexpr std::array<const wchar_t*, 4> kVariantPrefixes{L"_MD_", L"_MT_", L"_MDd_", L"_MTd_"};

class Activation {
public:
    Activation(const ToolContext& context, ToolServices& services)
        : context_(context), services_(services) {}

    // Copies a stored copy over the library it stands for; false when the
    // copy failed and the tool was ended.
    bool activate(const std::wstring& stored, const std::wstring& active) {
        const std::wstring& directory = context_.libraryDirectory;
        return reportingCopy(context_, services_, directory + stored, directory + active);
    }

    // Activates every catalogue name the rule maps to an active name.
    bool activateAll(const std::function<std::optional<std::wstring>(const std::wstring&)>& rule) {
        for (const std::wstring& name : context_.catalogue) {
            if (const auto active = rule(name); active && !activate(name, *active)) {
                return false;
            }
        }
        return true;
    }

private:
    const ToolContext& context_;
    ToolServices& services_;
};

std::optional<std::wstring> withoutPrefix(const std::wstring& name, const std::wstring& prefix) {
    if (!name.starts_with(prefix)) {
        return std::nullopt;
    }
    return name.substr(prefix.size());
}

// A version-specific copy has "_" right after its two-character tag.
bool isVersionSpecific(const std::wstring& name, std::size_t prefixLength) {
    return name.size() > prefixLength + 2 && name[prefixLength + 2] == L'_';
}

bool switchUcrt(Activation& activation, const ControlView& view, int code) {
    const std::wstring prefix =
        variantPrefix(static_cast<Control>(code), view.state(Control::chkDebug));
    const std::wstring version = vsVersionNumber(view.text(Control::cmbUcrtVersion));
    const std::size_t n = prefix.size();
    return activation.activateAll([](const std::wstring& name) {
        return withoutPrefix(name, L"_UC_");
    }) && activation.activateAll([&](const std::wstring& name) -> std::optional<std::wstring> {
        if (!name.starts_with(prefix) || isVersionSpecific(name, n)) {
            return std::nullopt;
        }
        return name.substr(n);
    }) && activation.activateAll([&](const std::wstring& name) -> std::optional<std::wstring> {
        if (version.empty() || !name.starts_with(prefix) || !isVersionSpecific(name, n) ||
            name.compare(n, 2, version) != 0) {
            return std::nullopt;
        }
        return name.substr(n + 3);
    });
}

bool switchImageLibraries(Activation& activation, const wchar_t* prefix) {
    const std::wstring png = std::wstring(prefix) + L"libpng.lib";
    const std::wstring jpeg = std::wstring(prefix) + L"libjpeg.lib";
    return activation.activateAll([&](const std::wstring& name) -> std::optional<std::wstring> {
        if (name != png && name != jpeg) {
            return std::nullopt;
        }
        return name.substr(4);
    });
}

} // namespace

std::wstring variantPrefix(Control button, bool debug) {
    const int index = (debug ? 2 : 0) + static_cast<int>(button) - 1;
    return kVariantPrefixes[static_cast<std::size_t>(index)];
}

bool selectCrtButton(ControlView& view, Control button) {
    if (!view.state(button)) {
        view.setState(button, true);
        return false;
    }
    for (Control other : kCrtButtons) {
        if (other != button) {
            view.setState(other, false);
        }
    }
    view.setState(Control::btnPngJpeg, false);
    return true;
}

bool switchLibraries(const ToolContext& context, ToolServices& services, const ControlView& view,
                     int code) {
    Activation activation(context, services);
    switch (code) {
    case kChoiceDynamicUcrt:
    case kChoiceStaticUcrt:
        return switchUcrt(activation, view, code);
    case kChoicePbCrt:
        return activation.activateAll(
            [](const std::wstring& name) { return withoutPrefix(name, L"_PB_"); });
    case kChoicePbImages:
        return switchImageLibraries(activation, L"_PB_");
    case kChoiceUcrtImages:
        return switchImageLibraries(activation, L"_UC_");
    default:
        return false;
    }
}

std::wstring versionTagOf(const std::wstring& name) {
    for (const std::wstring_view prefix : kVariantPrefixes) {
        if (name.starts_with(prefix) && isVersionSpecific(name, prefix.size())) {
            return name.substr(prefix.size(), 2);
        }
    }
    return {};
}

void refreshUcrtVersionList(const ToolContext& context, ControlView& view) {
    view.clearItems(Control::cmbUcrtVersion);
    if (context.catalogue.empty()) {
        return;
    }
    std::set<std::wstring, std::greater<>> items;
    for (const std::wstring& name : context.catalogue) {
        for (const auto& [number, vsName] : context.vsVersions) {
            if (name.find(L"_" + number + L"_") != std::wstring::npos) {
                items.insert(L" " + vsName + L", " + number);
            }
        }
    }
    for (const std::wstring& item : items) {
        view.addItem(Control::cmbUcrtVersion, item);
    }
    if (items.empty()) {
        return;
    }
    view.selectItem(Control::cmbUcrtVersion, 0);
    if (!view.enabled(Control::cmbUcrtVersion)) {
        for (Control control :
             {Control::btnMD, Control::btnMT, Control::cmbUcrtVersion, Control::chkDebug}) {
            view.setEnabled(control, true);
        }
    }
}

int ucrtVersionItem(const ControlView& view,
                    const std::function<bool(const std::wstring& version)>& matches) {
    for (int i = 0; i < view.itemCount(Control::cmbUcrtVersion); ++i) {
        if (matches(vsVersionNumber(view.itemText(Control::cmbUcrtVersion, i)))) {
            return i;
        }
    }
    return -1;
}

int ucrtVersionItem(const ControlView& view, const std::wstring& version) {
    return ucrtVersionItem(view, [&](const std::wstring& item) { return item == version; });
}

bool onCrtButtonClicked(ToolContext& context, ToolServices& services, ControlView& view,
                        Control button) {
    if (!selectCrtButton(view, button) ||
        !switchLibraries(context, services, view, static_cast<int>(button))) {
        return false;
    }
    saveSelectionRecord(context, services, view);
    services.sounds.play(Sound::Information);
    return view.state(Control::chkAutoClose);
}

void onPngJpegClicked(ToolContext& context, ToolServices& services, ControlView& view) {
    if (!view.state(Control::btnMT)) {
        return;
    }
    const int code = view.state(Control::btnPngJpeg) ? kChoicePbImages : kChoiceUcrtImages;
    if (switchLibraries(context, services, view, code)) {
        saveSelectionRecord(context, services, view);
        services.sounds.play(Sound::Default);
    }
}

} // namespace tarvex
