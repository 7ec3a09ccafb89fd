#include "core/library_switch.h"

#include <array>
#include <functional>
#include <optional>
#include <set>

#include "core/active_library.h"
#include "core/library_store.h"
#include "core/record_fields.h"
#include "core/record_from_files.h"
#include "core/selection_record.h"

namespace tarvex {
namespace {

constexpr std::array<Control, 3> kCrtButtons{Control::btnMD, Control::btnMT, Control::btnPB};

// Indexed by debug state * 2 + code - 1.
constexpr std::array<const wchar_t*, 4> kVariantPrefixes{L"_MD_", L"_MT_", L"_MDd_", L"_MTd_"};

using Rule = std::function<std::optional<std::wstring>(const std::wstring&)>;

// Later passes override earlier ones for the same active library.
void addPass(ActivationPlan& plan, const LibraryCatalogue& catalogue, const Rule& rule) {
    for (const std::wstring& name : catalogue) {
        if (auto active = rule(name)) {
            plan.insert_or_assign(std::move(*active), name);
        }
    }
}

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

void planUcrt(ActivationPlan& plan, const LibraryCatalogue& catalogue, const Choice& choice) {
    const std::wstring prefix = variantPrefix(static_cast<Control>(choice.code), choice.debug);
    const std::wstring& version = choice.version;
    const std::size_t n = prefix.size();
    addPass(plan, catalogue, [](const std::wstring& name) { return withoutPrefix(name, L"_UC_"); });
    addPass(plan, catalogue, [&](const std::wstring& name) -> std::optional<std::wstring> {
        if (!name.starts_with(prefix) || isVersionSpecific(name, n)) {
            return std::nullopt;
        }
        return name.substr(n);
    });
    addPass(plan, catalogue, [&](const std::wstring& name) -> std::optional<std::wstring> {
        if (version.empty() || !name.starts_with(prefix) || !isVersionSpecific(name, n) ||
            name.compare(n, 2, version) != 0) {
            return std::nullopt;
        }
        return name.substr(n + 3);
    });
}

void planImageLibraries(ActivationPlan& plan, const LibraryCatalogue& catalogue,
                        const wchar_t* prefix) {
    const std::wstring png = std::wstring(prefix) + L"libpng.lib";
    const std::wstring jpeg = std::wstring(prefix) + L"libjpeg.lib";
    addPass(plan, catalogue, [&](const std::wstring& name) -> std::optional<std::wstring> {
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

ActivationPlan activationPlan(const LibraryCatalogue& catalogue, const Choice& choice) {
    ActivationPlan plan;
    switch (choice.code) {
    case kChoiceDynamicUcrt:
    case kChoiceStaticUcrt:
        planUcrt(plan, catalogue, choice);
        break;
    case kChoicePbCrt:
        addPass(plan, catalogue,
                [](const std::wstring& name) { return withoutPrefix(name, L"_PB_"); });
        break;
    case kChoicePbImages:
        planImageLibraries(plan, catalogue, L"_PB_");
        break;
    case kChoiceUcrtImages:
        planImageLibraries(plan, catalogue, L"_UC_");
        break;
    default:
        break;
    }
    return plan;
}

// Every library is asked about before the first copy, so a No leaves the
// folder as it was.
bool activateCopies(ToolContext& context, ToolServices& services, const ActivationPlan& plan) {
    for (const auto& [active, stored] : plan) {
        if (!keepIfUnknown(context, services, active)) {
            return false;
        }
    }
    const std::wstring& directory = context.libraryDirectory;
    for (const auto& [active, stored] : plan) {
        if (!reportingCopy(context, services, directory + stored, directory + active)) {
            return false;
        }
    }
    return true;
}

std::wstring activatedName(const std::wstring& name) {
    for (const std::wstring_view prefix : {L"_PB_", L"_UC_"}) {
        if (name.starts_with(prefix)) {
            return name.substr(prefix.size());
        }
    }
    for (const std::wstring_view prefix : kVariantPrefixes) {
        if (name.starts_with(prefix)) {
            return name.substr(prefix.size() + (isVersionSpecific(name, prefix.size()) ? 3 : 0));
        }
    }
    return {};
}

bool switchLibraries(ToolContext& context, ToolServices& services, const ControlView& view,
                     int code) {
    const Choice choice{code, view.state(Control::chkDebug),
                        vsVersionNumber(view.text(Control::cmbUcrtVersion))};
    switch (code) {
    case kChoiceDynamicUcrt:
    case kChoiceStaticUcrt:
    case kChoicePbCrt:
    case kChoicePbImages:
    case kChoiceUcrtImages:
        return activateCopies(context, services, activationPlan(context.catalogue, choice));
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
    showActiveChoice(context, services, view);
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
        showActiveChoice(context, services, view);
        services.sounds.play(Sound::Default);
    }
}

} // namespace tarvex
