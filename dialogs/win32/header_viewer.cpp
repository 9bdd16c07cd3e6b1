// The header viewer (resource 160) and the save-file dialog of Save as.
// Both panes are filled from a HeaderDump read before the dialog opens; what
// the user types into them is never stored.
#include "dialogs/win32/header_viewer.h"


#include "dialogs/kept_content.h"
#include "platform/win32/file_chooser.h"
#include "platform/win32/window_base.h"
#include "res/dialogs/header_viewer_ids.h"

namespace hs {

namespace {

class HeaderViewer : public Dialog {
public:
    explicit HeaderViewer(const HeaderDump& dump) : dump_(dump) {}

private:
    BOOL onInitDialog() override {
        centreOnOwner();
        ::SetDlgItemTextA(window(), IDC_HEADER_HEX, dump_.hex.c_str());
        ::SetDlgItemTextA(window(), IDC_HEADER_TEXT, dump_.text.c_str());
        // Caret at the start of both panes, nothing selected; the focus is
        // set here so the dialog does not select the whole text pane.
        ::SendDlgItemMessageA(window(), IDC_HEADER_HEX, EM_SETSEL, 0, 0);
        ::SendDlgItemMessageA(window(), IDC_HEADER_TEXT, EM_SETSEL, 0, 0);
        ::SetFocus(::GetDlgItem(window(), IDC_HEADER_TEXT));
        return FALSE;
    }

    BOOL onCommand(int id, int, HWND) override {
        if (id != IDOK && id != IDCANCEL) return FALSE;
        endDialog(1);
        return TRUE;
    }

    const HeaderDump& dump_;
};

}  // namespace

int showHeaderViewer(HINSTANCE module, HWND owner, DocumentCatalogue& catalogue, FileSystem& fs,
                     const std::string& name) {
    HeaderDump dump;
    if (!readHeaderDump(catalogue, fs, name, dump)) return 0;
    HeaderViewer viewer(dump);
    return viewer.runModal(module, IDD_HEADER_VIEWER, owner) == 1 ? 1 : 0;
}

std::string chooseSaveAsPath(HWND owner) {
    FileChoice choice{"Save as..", "C:\\", OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY};
    choice.save = true;
    return chooseFile(owner, choice);
}

}  // namespace hs
