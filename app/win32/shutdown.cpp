#include "app/win32/shutdown.h"

#include <windows.h>

#include "app/win32/tray_icon.h"
#include "catalogue/catalogue.h"
#include "catalogue/store.h"
#include "platform/file_system.h"

namespace hs {

void shutDown() {
    removeTrayIcon();
    deleteTempFiles(platformFileSystem());
    saveCatalogue(theCatalogue());
    ::PostQuitMessage(0);
}

}  // namespace hs
