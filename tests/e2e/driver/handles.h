// The driver holds its handles in the program's own owners.
#pragma once

#include "platform/win32/handles.h"

namespace hs::e2e {

using hs::MemoryDcWith;
using hs::UniqueBitmap;
using hs::UniqueHandle;
using hs::UniqueMenu;
using hs::UniqueModule;
using hs::UniqueRegistryKey;
using hs::WindowDc;

}  // namespace hs::e2e
