// Arbitrary bytes as the state file: reading the selection record, putting it
// on the controls and saving the choice must never crash, and what is saved
// must read back as saved.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/selection_record.h"
#include "fakes.h"

namespace {

using namespace tarvex;
using tarvex::testing::FakeTool;
using tarvex::testing::MemoryView;

const std::wstring kLibraries = L"C:\\PB\\Lib\\";

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

MemoryView startedView() {
    MemoryView view;
    for (const wchar_t* item : {L" VS 2022, 17", L" VS 2019, 16", L" VS 2015, 14"}) {
        view.addItem(Control::cmbUcrtVersion, item, L"");
    }
    view.selectItem(Control::cmbUcrtVersion, 0);
    return view;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FakeTool tool;
    tool.files.addFile(kLibraries + L"Tarvex.cfg",
                       std::string(reinterpret_cast<const char*>(data), size));
    ToolContext context;
    context.libraryDirectory = kLibraries;
    MemoryView view = startedView();

    loadSelectionRecord(context, tool.services);
    restoreSelection(context, view);
    for (int item = 0; item < view.itemCount(Control::cmbUcrtVersion); ++item) {
        view.selectItem(Control::cmbUcrtVersion, item);
        syncCrtButtons(context, view);
    }
    saveSelectionRecord(context, tool.services, view);
    const std::wstring saved = context.selectionRecord;

    ToolContext reread;
    reread.libraryDirectory = kLibraries;
    loadSelectionRecord(reread, tool.services);
    require(reread.selectionRecord == saved);
    return 0;
}
