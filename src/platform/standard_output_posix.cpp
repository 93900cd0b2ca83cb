#include <pthread.h>

#include "platform/standard_output.h"

namespace fennick {

namespace {

// Statically initialised and never destroyed: it may be held while the
// process ends.
pthread_mutex_t g_outputLock = PTHREAD_MUTEX_INITIALIZER;

}  // namespace

void PrepareStandardOutput() {}

StandardOutputLock::StandardOutputLock() { pthread_mutex_lock(&g_outputLock); }

StandardOutputLock::~StandardOutputLock() { pthread_mutex_unlock(&g_outputLock); }

}  // namespace fennick
