// The selection record in the state file (Tarvex.cfg in the library
// directory): which runtime was last made active there, and its display on
// the CRT buttons.
#pragma once

#include <cstdint>

#include "core/control_view.h"
#include "core/tool_context.h"
#include "core/tool_services.h"

namespace tarvex {

// PB's own CRT, as the record stores it.
inline constexpr const wchar_t* kPbCrtRecord = L"0,0,1,0";

// Variant codes of the record (not the choice codes of the switch).
inline constexpr std::int32_t kRecordedPbCrt = 1;
inline constexpr std::int32_t kRecordedDynamicUcrt = 2;
inline constexpr std::int32_t kRecordedStaticUcrt = 3;

// Creates the state file when it is missing, then reads the record. Does
// nothing without a library directory.
void loadSelectionRecord(ToolContext& context, ToolServices& services);

// Puts the record on the version list, chkDebug, btnPngJpeg and the toggles.
void restoreSelection(ToolContext& context, ControlView& view);

// Shows a CRT button pressed only while the displayed choice is the recorded
// one.
void syncCrtButtons(ToolContext& context, ControlView& view);

// The stored copy of msvcrt.lib that the record names as active
// ("_MT_17_msvcrt.lib"); empty when PB's own CRT or nothing is recorded.
std::wstring recordedRuntimeCopy(const ToolContext& context);

// Records the choice the buttons show. Without a state file nothing changes.
void saveSelectionRecord(ToolContext& context, ToolServices& services, const ControlView& view);

// Writes a record to the state file and keeps it; false when the state file
// cannot be opened (nothing then changes).
bool writeSelectionRecord(ToolContext& context, ToolServices& services, const std::wstring& record);

// The btnMD and btnMT captions for the state of chkDebug.
void applyDebugCaptions(ControlView& view);

} // namespace tarvex
