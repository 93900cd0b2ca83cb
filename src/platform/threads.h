// Threads for the group run's workers. The Windows build uses the system's
// own threads, so the program still imports nothing beyond Windows' DLLs.
#pragma once

namespace fennick {

using ThreadBody = void (*)(void* argument);

// Runs `body(argument)` on a new thread that nobody waits for; the process
// may end while it runs. False when no thread could be had.
bool StartDetachedThread(ThreadBody body, void* argument);

// Waits until the process ends. A thread with nothing more to do parks here
// rather than end: a thread ending while the process ends brings Wine down.
[[noreturn]] void ParkThisThread();

}  // namespace fennick
