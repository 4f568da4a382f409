#pragma once

namespace platform {

// Gives the pages of the heap that nothing uses back to the system, so that the resident
// size follows what the program holds rather than the most it ever held (a closed editor's
// pictures, for example). False where the C library cannot do it.
bool returnFreeHeap();

}  // namespace platform
