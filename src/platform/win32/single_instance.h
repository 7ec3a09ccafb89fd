// The single-instance lock that the window and the console program share: one
// Tarvex at a time works on a library folder.
#pragma once

namespace tarvex {

// Takes the lock "Tarvex" for the rest of the process. False when another
// copy holds it or it cannot be taken.
bool takeSingleInstanceLock();

} // namespace tarvex
