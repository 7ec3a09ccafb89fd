#include "core/vs_version_list.h"

#include "core/settings.h"

namespace tarvex {

void fillVsVersionList(const ToolContext& context, ToolServices& services, ControlView& view) {
    view.clearItems(Control::cmbVsVersion);
    for (const auto& [name, vcvarsall] : readVsLinks(context, services)) {
        view.addItem(Control::cmbVsVersion, L" " + name, vcvarsall);
    }
    view.selectItem(Control::cmbVsVersion, 0);
}

} // namespace tarvex
