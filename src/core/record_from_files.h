// The selection record as the library files show it: where the active
// libraries and the record disagree (PB was updated, a library was put back
// by hand, another tool copied one), the files win.
#pragma once

#include <string>

#include "core/control_view.h"
#include "core/library_switch.h"
#include "core/tool_context.h"
#include "core/tool_services.h"

namespace tarvex {

// The copies that are active under a recorded choice; empty for a record
// that names none.
ActivationPlan recordedPlan(const LibraryCatalogue& catalogue, const std::wstring& record);

// When an active library is not the copy the record's choice made active,
// the record becomes the choice whose copies msvcrt.lib, libpng.lib and
// libjpeg.lib are, written as a click would write it. A record that names one
// of several equal copies stands, and so does one that names no choice.
// True when the record changed.
bool settleRecordOnFiles(ToolContext& context, ToolServices& services);

// After a switch or a build: the controls show the settled record, and no CRT
// toggle is pressed while msvcrt.lib equals no stored copy.
void showActiveChoice(ToolContext& context, ToolServices& services, ControlView& view);

} // namespace tarvex
