#include "core/selection_record.h"

#include "core/library_switch.h"
#include "core/record_fields.h"
#include "formats/ini_file.h"

namespace tarvex {
namespace {

const wchar_t* const kGroup = L"Settings";
const wchar_t* const kKey = L"last";

void createStateFile(const ToolContext& context, ToolServices& services) {
    IniFile ini(services.byteFiles);
    if (ini.create(context.statePath())) {
        ini.selectGroup(kGroup);
        ini.writeString(kKey, kPbCrtRecord);
        ini.close();
    }
}

std::wstring recordShown(const ControlView& view) {
    if (view.state(Control::btnPB)) {
        return kPbCrtRecord;
    }
    return vsVersionNumber(view.text(Control::cmbUcrtVersion)) + L"," +
           (view.state(Control::chkDebug) ? L"1" : L"0") +
           (view.state(Control::btnMD) ? L",2," : L",3,") +
           (view.state(Control::btnPngJpeg) ? L"1" : L"0");
}

} // namespace

void loadSelectionRecord(ToolContext& context, ToolServices& services) {
    if (context.libraryDirectory.empty()) {
        return;
    }
    if (services.files.pathSize(context.statePath()) == kMissing) {
        createStateFile(context, services);
    }
    IniFile ini(services.byteFiles);
    if (!ini.open(context.statePath())) {
        return;
    }
    ini.selectGroup(kGroup);
    context.selectionRecord = ini.readString(kKey, L"0,0,0,0");
    context.pngJpegFlag = decimalValue(recordField(context.selectionRecord, 4));
    ini.close();
}

void restoreSelection(ToolContext& context, ControlView& view) {
    const std::wstring& record = context.selectionRecord;
    const std::wstring version = recordField(record, 1);
    if (const int item = ucrtVersionItem(view, version); item >= 0) {
        view.selectItem(Control::cmbUcrtVersion, item);
    } else if (version.empty() &&
               !recordedRuntimeCopy(context).empty()) { // the generic copies alone are active
        view.selectItem(Control::cmbUcrtVersion, -1);
    }
    view.setState(Control::chkDebug, decimalValue(recordField(record, 2)) != 0);
    view.setState(Control::btnPngJpeg, decimalValue(recordField(record, 4)) != 0);
    syncCrtButtons(context, view);
    if (view.state(Control::chkDebug)) {
        applyDebugCaptions(view);
    }
    if (view.itemCount(Control::cmbUcrtVersion) == 0) {
        view.setState(Control::btnPB, true);
        for (Control control :
             {Control::btnMD, Control::btnMT, Control::cmbUcrtVersion, Control::chkDebug}) {
            view.setEnabled(control, false);
        }
    }
}

void syncCrtButtons(ToolContext& context, ControlView& view) {
    const std::wstring& record = context.selectionRecord;
    const std::wstring version = recordField(record, 1);
    const std::int32_t debug = decimalValue(recordField(record, 2));
    const std::int32_t code = decimalValue(recordField(record, 3));
    context.pngJpegFlag = decimalValue(recordField(record, 4));

    if (code == kRecordedPbCrt) {
        if (view.state(Control::btnPB)) {
            for (Control control : {Control::btnMD, Control::btnMT, Control::btnPngJpeg}) {
                view.setState(control, false);
            }
        } else {
            view.setState(Control::btnPB, true);
        }
        return;
    }
    if (code != kRecordedDynamicUcrt && code != kRecordedStaticUcrt) {
        return;
    }
    const bool shown = vsVersionNumber(view.text(Control::cmbUcrtVersion)) == version &&
                       (view.state(Control::chkDebug) ? 1 : 0) == debug;
    if (shown) {
        selectCrtButton(view, code == kRecordedDynamicUcrt ? Control::btnMD : Control::btnMT);
    } else {
        view.setState(Control::btnMD, false);
        view.setState(Control::btnMT, false);
    }
    if (code == kRecordedStaticUcrt && context.pngJpegFlag == 1) {
        view.setState(Control::btnPngJpeg, true);
    }
}

std::wstring recordedRuntimeCopy(const ToolContext& context) {
    const std::wstring& record = context.selectionRecord;
    const std::int32_t code = decimalValue(recordField(record, 3));
    if (code != kRecordedDynamicUcrt && code != kRecordedStaticUcrt) {
        return {};
    }
    const std::wstring version = recordField(record, 1);
    const Control button = code == kRecordedDynamicUcrt ? Control::btnMD : Control::btnMT;
    return variantPrefix(button, decimalValue(recordField(record, 2)) != 0) +
           (version.empty() || version == L"0" ? L"" : version + L"_") + L"msvcrt.lib";
}

void saveSelectionRecord(ToolContext& context, ToolServices& services, const ControlView& view) {
    writeSelectionRecord(context, services, recordShown(view));
}

bool writeSelectionRecord(ToolContext& context, ToolServices& services,
                          const std::wstring& record) {
    IniFile ini(services.byteFiles);
    if (context.libraryDirectory.empty() || !ini.open(context.statePath())) {
        return false;
    }
    ini.selectGroup(kGroup);
    ini.writeString(kKey, record);
    ini.close();
    context.selectionRecord = record;
    return true;
}

void applyDebugCaptions(ControlView& view) {
    const bool debug = view.state(Control::chkDebug);
    view.setText(Control::btnMD, debug ? L"/MDd\r\n(dynamic)" : L"/MD\r\n(dynamic)");
    view.setText(Control::btnMT, debug ? L"/MTd\r\n(static)" : L"/MT\r\n(static)");
}

} // namespace tarvex
