// Runtime library switching: the CRT toggles as a radio group, activating the
// stored copies of a choice, and the list of UCRT versions the store holds.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "core/control_view.h"
#include "core/tool_context.h"
#include "core/tool_services.h"

namespace tarvex {

// Choice codes for switchLibraries.
inline constexpr int kChoiceDynamicUcrt = 1; // btnMD: /MD or /MDd
inline constexpr int kChoiceStaticUcrt = 2;  // btnMT: /MT or /MTd
inline constexpr int kChoicePbCrt = 6;       // btnPB
inline constexpr int kChoiceUcrtImages = 30; // UCRT-built libpng/libjpeg
inline constexpr int kChoicePbImages = 31;   // PB's own libpng/libjpeg

// What a click chooses: the choice code, and for the UCRT codes the state of
// chkDebug and the selected Visual Studio version ("17", empty for none).
struct Choice {
    int code = 0;
    bool debug = false;
    std::wstring version;
};

// Active library name -> the catalogue name of the stored copy that a choice
// copies over it. Empty for an unknown code.
using ActivationPlan = std::map<std::wstring, std::wstring>;

// The copies of a choice: for the UCRT codes the "_UC_" copies, overridden by
// the generic copies of the variant, overridden by those of the version.
ActivationPlan activationPlan(const LibraryCatalogue& catalogue, const Choice& choice);

// Copies each planned stored copy over its active library. An active library
// that equals no stored copy is offered as PB's own first, so none is lost.
// False when the tool was ended.
bool activateCopies(ToolContext& context, ToolServices& services, const ActivationPlan& plan);

// The active library a stored copy stands for ("_MT_17_msvcrt.lib" gives
// "msvcrt.lib"); empty for a name without a variant prefix.
std::wstring activatedName(const std::wstring& name);

// After a click has flipped the button: false when it turned the active
// choice off (it is turned on again); otherwise releases the other choices.
bool selectCrtButton(ControlView& view, Control button);

// Activates the stored copies of a choice. False for an unknown code, and
// when a copy failed (the tool has then been ended).
bool switchLibraries(ToolContext& context, ToolServices& services, const ControlView& view,
                     int code);

// The prefix of the stored copies of btnMD's or btnMT's runtime: "_MD_",
// "_MT_", "_MDd_" or "_MTd_".
std::wstring variantPrefix(Control button, bool debug);

// The Visual Studio version of a version-specific stored copy
// ("_MT_17_msvcrt.lib" gives "17"); empty for any other name.
std::wstring versionTagOf(const std::wstring& name);

// Fills cmbUcrtVersion with the Visual Studio versions the catalogue holds
// version-specific copies of, newest first.
void refreshUcrtVersionList(const ToolContext& context, ControlView& view);

// The first cmbUcrtVersion item whose Visual Studio version number ("17")
// matches, -1 when none does.
int ucrtVersionItem(const ControlView& view,
                    const std::function<bool(const std::wstring& version)>& matches);
int ucrtVersionItem(const ControlView& view, const std::wstring& version);

// A click on btnMD, btnMT or btnPB. True when the tool should now close
// (auto-close after a successful switch).
bool onCrtButtonClicked(ToolContext& context, ToolServices& services, ControlView& view,
                        Control button);

// A click on btnPngJpeg.
void onPngJpegClicked(ToolContext& context, ToolServices& services, ControlView& view);

} // namespace tarvex
