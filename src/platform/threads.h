// Threads for the group run's workers. The Windows build uses the system's
// own threads, so the program still imports nothing beyond Windows' DLLs.
#pragma once

namespace fennick {

using ThreadBody = void (*)(void* argument);

// Runs `body(argument)` on a new thread that nobody waits for; the process
// may end while it runs. False when no thread could be had.
bool StartDetachedThread(ThreadBody body, void* argument);

}  // namespace fennick
