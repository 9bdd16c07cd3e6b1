// The catalogue commands' message boxes in the Windows program: modal to
// the main window, with the application title as caption.
#pragma once

#include <windows.h>

#include <string>

#include "app/commands.h"

namespace hs {

class Win32CommandHost : public CommandHost {
public:
    explicit Win32CommandHost(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }

    // Information icon, OK button.
    void showInformation(const std::string& text) override;
    // Exclamation icon, OK button.
    void showWarning(const std::string& text) override;
    // Question icon, Yes and No with Yes the default; true only for Yes.
    bool askYesNo(const std::string& text) override;
    // Stop icon, OK button.
    void showError(const std::string& text) override;

    // The styles of the two kinds of box.
    static constexpr UINT kInformationStyle = MB_OK | MB_ICONINFORMATION;
    static constexpr UINT kWarningStyle = MB_OK | MB_ICONEXCLAMATION;
    static constexpr UINT kErrorStyle = MB_OK | MB_ICONSTOP;
    static constexpr UINT kQuestionStyle = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1;

private:
    HWND owner_;
};

}  // namespace hs
