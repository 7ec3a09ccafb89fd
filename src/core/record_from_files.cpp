#include "core/record_from_files.h"

#include <algorithm>
#include <vector>

#include "core/active_library.h"
#include "core/library_store.h"
#include "core/record_fields.h"
#include "core/selection_record.h"

namespace tarvex {
namespace {

using Libraries = std::vector<ActiveLibrary>;

// An active library that is missing, or that the plan makes no copy of, is
// no evidence either way.
bool agrees(const ActivationPlan& plan, const Libraries& libraries) {
    return std::all_of(libraries.begin(), libraries.end(), [&](const ActiveLibrary& library) {
        const auto planned = plan.find(library.name());
        return !library.present() || planned == plan.end() || library.equals(planned->second);
    });
}

std::wstring staticRecord(const std::wstring& version, bool debug, const wchar_t* flag) {
    return version + (debug ? L",1,3," : L",0,3,") + flag;
}

// The records, as a click writes them, under which this copy of msvcrt.lib
// is the active one: a generic copy is recorded with no version selected.
std::vector<std::wstring> recordsActivating(const std::wstring& copy) {
    if (copy.starts_with(L"_PB_")) {
        return {kPbCrtRecord};
    }
    const std::wstring version = versionTagOf(copy);
    for (const bool debug : {false, true}) {
        if (copy.starts_with(variantPrefix(Control::btnMD, debug))) {
            return {version + (debug ? L",1,2,0" : L",0,2,0")};
        }
        if (copy.starts_with(variantPrefix(Control::btnMT, debug))) {
            return {staticRecord(version, debug, L"0"), staticRecord(version, debug, L"1")};
        }
    }
    return {};
}

// The record itself with either png/jpeg flag, when it names /MT: then only
// the flag may be what disagrees.
std::vector<std::wstring> flagVariants(const std::wstring& record) {
    if (decimalValue(recordField(record, 3)) != kRecordedStaticUcrt) {
        return {};
    }
    const bool debug = decimalValue(recordField(record, 2)) != 0;
    return {staticRecord(recordField(record, 1), debug, L"0"),
            staticRecord(recordField(record, 1), debug, L"1")};
}

// The records of every copy msvcrt.lib equals, in name order.
std::vector<std::wstring> recordsOfCopies(const ActiveLibrary& runtime) {
    std::vector<std::wstring> records;
    for (const std::wstring& copy : runtime.equalCopies()) {
        const std::vector<std::wstring> more = recordsActivating(copy);
        records.insert(records.end(), more.begin(), more.end());
    }
    return records;
}

} // namespace

ActivationPlan recordedPlan(const LibraryCatalogue& catalogue, const std::wstring& record) {
    const std::int32_t code = decimalValue(recordField(record, 3));
    const Choice choice{code == kRecordedPbCrt         ? kChoicePbCrt
                        : code == kRecordedDynamicUcrt ? kChoiceDynamicUcrt
                        : code == kRecordedStaticUcrt  ? kChoiceStaticUcrt
                                                       : 0,
                        decimalValue(recordField(record, 2)) != 0, recordField(record, 1)};
    ActivationPlan plan = activationPlan(catalogue, choice);
    if (code == kRecordedStaticUcrt && decimalValue(recordField(record, 4)) == 1) {
        for (auto& [active, stored] : activationPlan(catalogue, {kChoicePbImages, false, {}})) {
            plan.insert_or_assign(active, stored);
        }
    }
    return plan;
}

bool settleRecordOnFiles(ToolContext& context, ToolServices& services) {
    const std::wstring record = context.selectionRecord;
    const ActivationPlan recorded = recordedPlan(context.catalogue, record);
    if (recorded.empty()) {
        return false;
    }
    Libraries libraries;
    for (const wchar_t* name : kActiveLibraries) {
        libraries.emplace_back(context, services, name);
    }
    if (agrees(recorded, libraries)) {
        return false;
    }
    std::vector<std::wstring> candidates = flagVariants(record);
    const std::vector<std::wstring> fromCopies = recordsOfCopies(libraries.front());
    candidates.insert(candidates.end(), fromCopies.begin(), fromCopies.end());
    const auto fitting = std::find_if(candidates.begin(), candidates.end(), [&](const auto& r) {
        return agrees(recordedPlan(context.catalogue, r), libraries);
    });
    // Where no choice makes all three active, msvcrt.lib decides the toggle;
    // where it equals no CRT copy, the record stands.
    const std::wstring shown = fitting != candidates.end() ? *fitting
                               : fromCopies.empty()        ? record
                                                           : fromCopies.front();
    if (shown == record) {
        return false;
    }
    writeSelectionRecord(context, services, shown);
    context.selectionRecord = shown;
    context.pngJpegFlag = decimalValue(recordField(shown, 4));
    return true;
}

void showActiveChoice(ToolContext& context, ToolServices& services, ControlView& view) {
    if (settleRecordOnFiles(context, services)) {
        restoreSelection(context, view);
    }
    if (ActiveLibrary(context, services, L"msvcrt.lib").unknown()) {
        for (const Control button : {Control::btnMD, Control::btnMT, Control::btnPB}) {
            view.setState(button, false);
        }
    }
}

} // namespace tarvex
