#pragma once

namespace platform {

// Gives the pages of the heap that nothing uses back to the system, so that the resident
// size follows what the program holds rather than the most it ever held (a closed editor's
// pictures, for example). False where the C library cannot do it.
bool returnFreeHeap();

// Blocks of 256 KiB and more (pictures, chart buffers) get pages of their own, which go back
// to the system as soon as the block is freed. Without this the C library, after the first
// such block is freed, takes later ones from the main heap, where they leave megabytes
// resident for hours. False where the C library has no such setting.
bool keepLargeBlocksApart();

}  // namespace platform
