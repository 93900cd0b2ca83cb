#include <pthread.h>

#include "platform/standard_output.h"

namespace fennick {

namespace {

// Statically initialised and never destroyed: they may be held or waited on
// while the process ends.
pthread_mutex_t g_outputLock = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t g_change = PTHREAD_COND_INITIALIZER;

}  // namespace

void PrepareStandardOutput() {}

RunLock::RunLock() { pthread_mutex_lock(&g_outputLock); }

RunLock::~RunLock() { pthread_mutex_unlock(&g_outputLock); }

void WaitLocked() { pthread_cond_wait(&g_change, &g_outputLock); }

void WakeWaitersLocked() { pthread_cond_broadcast(&g_change); }

}  // namespace fennick
