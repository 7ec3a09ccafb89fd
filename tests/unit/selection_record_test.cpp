#include "core/selection_record.h"

#include <gtest/gtest.h>

#include "core/library_switch.h"
#include "core/record_fields.h"
#include "fake_services.h"
#include "memory_view.h"

namespace tarvex {
namespace {

using testing::FakeTool;
using testing::MemoryView;

const std::wstring kLibraries = L"C:\\PB\\Lib\\";

class SelectionRecordTest : public ::testing::Test {
protected:
    SelectionRecordTest() {
        tool.files.addDirectory(kLibraries);
        context.libraryDirectory = kLibraries;
        for (const wchar_t* item : {L" VS 2022, 17", L" VS 2019, 16"}) {
            view.addItem(Control::cmbUcrtVersion, item);
        }
        view.selectItem(Control::cmbUcrtVersion, 0);
    }

    void startWith(const std::wstring& record) {
        context.selectionRecord = record;
        restoreSelection(context, view);
    }
    void chooseItem(int index) {
        view.selectItem(Control::cmbUcrtVersion, index);
        syncCrtButtons(context, view);
    }

    FakeTool tool;
    ToolContext context;
    MemoryView view;
};

TEST_F(SelectionRecordTest, AMissingStateFileIsCreatedWithPbCrtRecorded) {
    loadSelectionRecord(context, tool.services);

    EXPECT_EQ(tool.files.content(kLibraries + L"Tarvex.cfg"),
              "\xEF\xBB\xBF\r\n[Settings]\r\nlast = 0,0,1,0\r\n");
    EXPECT_EQ(context.selectionRecord, L"0,0,1,0");
    restoreSelection(context, view);
    EXPECT_EQ(view.pressed(), L"PB");
}

TEST_F(SelectionRecordTest, AnExistingRecordIsReadAndNothingIsWritten) {
    tool.files.addFile(kLibraries + L"Tarvex.cfg", "[settings]\nLAST=  17,1,3,1 \n");
    loadSelectionRecord(context, tool.services);
    EXPECT_EQ(context.selectionRecord, L"17,1,3,1");
    EXPECT_EQ(context.pngJpegFlag, 1);
    EXPECT_EQ(tool.files.replaces(), 0u);

    tool.files.addFile(kLibraries + L"Tarvex.cfg", "[Other]\nlast=1\n");
    loadSelectionRecord(context, tool.services);
    EXPECT_EQ(context.selectionRecord, L"0,0,0,0") << "no key in [Settings]";
}

TEST_F(SelectionRecordTest, WithoutALibraryDirectoryNoFileIsTouched) {
    context.libraryDirectory.clear();
    loadSelectionRecord(context, tool.services);
    view.setState(Control::btnPB, true);
    saveSelectionRecord(context, tool.services, view);
    EXPECT_TRUE(context.selectionRecord.empty());
    EXPECT_FALSE(tool.files.exists(L"Tarvex.cfg"));
}

TEST_F(SelectionRecordTest, ARecordedUcrtChoiceShowsOnlyWhileVersionAndDebugMatch) {
    startWith(L"17,0,2,0");
    EXPECT_EQ(view.pressed(), L"MD");

    chooseItem(1);
    EXPECT_EQ(view.pressed(), L"");
    chooseItem(0);
    EXPECT_EQ(view.pressed(), L"MD");

    view.setState(Control::chkDebug, true);
    syncCrtButtons(context, view);
    EXPECT_EQ(view.pressed(), L"");
}

TEST_F(SelectionRecordTest, ARecordedStaticDebugChoiceRestoresDebugAndPngJpeg) {
    view.selectItem(Control::cmbUcrtVersion, 1);
    startWith(L"17,1,3,1");

    EXPECT_EQ(view.text(Control::cmbUcrtVersion), L" VS 2022, 17");
    EXPECT_TRUE(view.state(Control::chkDebug));
    EXPECT_EQ(view.pressed(), L"MT PJ");
    EXPECT_EQ(view.controls[Control::btnMD].text, L"/MDd\r\n(dynamic)");
    EXPECT_EQ(view.controls[Control::btnMT].text, L"/MTd\r\n(static)");

    chooseItem(1);
    EXPECT_EQ(view.pressed(), L"PJ");
}

TEST_F(SelectionRecordTest, AnEmptyVersionListLeavesOnlyPbCrt) {
    view.clearItems(Control::cmbUcrtVersion);
    startWith(L"17,0,2,0");

    EXPECT_EQ(view.pressed(), L"PB");
    for (Control c : {Control::btnMD, Control::btnMT, Control::cmbUcrtVersion, Control::chkDebug}) {
        EXPECT_FALSE(view.enabled(c));
    }
}

TEST_F(SelectionRecordTest, GarbledRecordsChangeNoButton) {
    for (const wchar_t* record : {L"0,0,0,0", L"abc", L"17,0,9,0", L"", L",,,,,"}) {
        MemoryView fresh = view;
        context.selectionRecord = record;
        syncCrtButtons(context, fresh);
        EXPECT_EQ(fresh.pressed(), L"");
    }
    startWith(L"99,x,2,0");
    EXPECT_EQ(view.pressed(), L"") << "a version no item carries matches nothing";
}

TEST_F(SelectionRecordTest, SavingWritesTheChoiceTheButtonsShow) {
    loadSelectionRecord(context, tool.services);
    view.setState(Control::btnMD, true);
    view.setState(Control::chkDebug, true);
    saveSelectionRecord(context, tool.services, view);
    EXPECT_EQ(context.selectionRecord, L"17,1,2,0");
    EXPECT_EQ(tool.files.content(kLibraries + L"Tarvex.cfg"),
              "\xEF\xBB\xBF\r\n[Settings]\r\nlast = 17,1,2,0\r\n");

    tool.files.makeReadOnly(kLibraries + L"Tarvex.cfg");
    view.setState(Control::btnPB, true);
    saveSelectionRecord(context, tool.services, view);
    EXPECT_EQ(context.selectionRecord, L"0,0,1,0") << "kept in memory though the file is read-only";
    EXPECT_EQ(tool.files.content(kLibraries + L"Tarvex.cfg"),
              "\xEF\xBB\xBF\r\n[Settings]\r\nlast = 17,1,2,0\r\n");
}

TEST(RecordFields, SplitAndReadLikeTheRecordIsWritten) {
    EXPECT_EQ(recordField(L"17,1,3,0", 1), L"17");
    EXPECT_EQ(recordField(L"17,1,3,0", 4), L"0");
    EXPECT_EQ(recordField(L"17,1", 3), L"");
    EXPECT_EQ(decimalValue(L" \t-12x"), -12);
    EXPECT_EQ(decimalValue(L"x12"), 0);
    EXPECT_EQ(decimalValue(L"99999999999"), 2147483647);
    EXPECT_EQ(vsVersionNumber(L" VS 2022, 17"), L"17");
    EXPECT_EQ(vsVersionNumber(L"no comma"), L"");
}

} // namespace
} // namespace tarvex
