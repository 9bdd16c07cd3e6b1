// The "What changed" window: a resizable window that shows what changed in a
// document between two of its versions (at first: the acknowledged version
// against the kept content), and the document's history above it, from
// which any two versions are compared, one opened through the shell, saved
// as a file or made the acknowledged one.
//
// One window per program, reused for the next document. The difference is
// drawn by a view that paints only the rows it shows (what_changed_model.h
// makes them on demand).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "catalogue/catalogue.h"
#include "open/open_document.h"
#include "platform/file_system.h"

namespace hs {

struct WhatChangedServices {
    HINSTANCE module = nullptr;
    DocumentCatalogue* catalogue = nullptr;
    FileSystem* files = nullptr;
    DocumentLauncher* launcher = nullptr;  // the shell's "open" for a version
};

class WhatChangedWindow;

// Owns the one window; closing it destroys it, the next show makes a new one.
class WhatChangedWindows {
public:
    explicit WhatChangedWindows(WhatChangedServices services);
    ~WhatChangedWindows();

    // Shows the window over `owner` for the document named `name`, comparing
    // its acknowledged version with its kept content. False when the window
    // could not be made.
    bool show(HWND owner, const std::string& name);

    // The window, or null when none is open.
    HWND window() const;

private:
    WhatChangedServices services_;
    std::unique_ptr<WhatChangedWindow> window_;
};

}  // namespace hs
