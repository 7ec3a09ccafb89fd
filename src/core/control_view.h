// The narrow view of the window's controls that the core reads and changes.
// The Win32 window implements it on the real controls; tests use an
// in-memory one.
#pragma once

#include <string>

namespace tarvex {

// The controls of wndMain by identifier.
enum class Control {
    btnMD = 1,
    btnMT,
    cmbUcrtVersion,
    chkDebug,
    frmUcrt,
    btnPB,
    frmCrt,
    txtStatus,
    chkBuildPane,
    chkAutoClose,
    edtSdkVersion,
    cmbVsVersion,
    btnBuild,
    frmBuild,
    btnCoffee,
    frmCoffee,
    btnCopyDirectives,
    btnPngJpeg,
};

class ControlView {
public:
    virtual ~ControlView() = default;

    // Toggle buttons and check boxes: pressed or ticked.
    virtual bool state(Control control) const = 0;
    virtual void setState(Control control, bool on) = 0;
    // For a drop-down list, the text of the selected item.
    virtual std::wstring text(Control control) const = 0;
    virtual void setText(Control control, const std::wstring& text) = 0;
    virtual bool enabled(Control control) const = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;
    virtual void setVisible(Control control, bool visible) = 0;

    // Drop-down lists. Each item can carry one text of data (cmbVsVersion
    // keeps the vcvarsall.bat path of each Visual Studio there).
    virtual void clearItems(Control list) = 0;
    virtual void addItem(Control list, const std::wstring& text, const std::wstring& data = {}) = 0;
    virtual int itemCount(Control list) const = 0;
    virtual std::wstring itemText(Control list, int index) const = 0;
    virtual std::wstring itemData(Control list, int index) const = 0;
    // -1 selects nothing.
    virtual void selectItem(Control list, int index) = 0;
    // The selected item's index, -1 for none.
    virtual int selectedItem(Control list) const = 0;
};

} // namespace tarvex
