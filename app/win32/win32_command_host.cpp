#include "app/win32/win32_command_host.h"

#include "app/win32/shell_state.h"

namespace hs {

void Win32CommandHost::showInformation(const std::string& text) {
    showMessage(owner_, text.c_str(), kInformationStyle);
}

void Win32CommandHost::showWarning(const std::string& text) {
    showMessage(owner_, text.c_str(), kWarningStyle);
}

void Win32CommandHost::showError(const std::string& text) {
    showMessage(owner_, text.c_str(), kErrorStyle);
}

bool Win32CommandHost::askYesNo(const std::string& text) {
    return showMessage(owner_, text.c_str(), kQuestionStyle) == IDYES;
}

}  // namespace hs
