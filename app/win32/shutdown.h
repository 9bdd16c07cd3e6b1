// The program's only exit path: removes the tray icon, deletes the leftover
// temporary files of "data", writes every used record and posts the quit
// message. Running check workers are neither told nor waited for.
#pragma once

namespace hs {

void shutDown();

}  // namespace hs
