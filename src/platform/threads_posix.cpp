#include <pthread.h>

#include "platform/threads.h"

namespace fennick {

namespace {

struct Start {
  ThreadBody body;
  void* argument;
};

void* Run(void* start) {
  Start s = *static_cast<Start*>(start);
  delete static_cast<Start*>(start);
  s.body(s.argument);
  return nullptr;
}

}  // namespace

bool StartDetachedThread(ThreadBody body, void* argument) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  Start* start = new Start{body, argument};
  pthread_t thread;
  bool started = pthread_create(&thread, &attributes, Run, start) == 0;
  pthread_attr_destroy(&attributes);
  if (!started) delete start;
  return started;
}

void ParkThisThread() {
  // Never destroyed: parked threads wait on them while the process ends.
  static pthread_mutex_t* lock = new pthread_mutex_t(PTHREAD_MUTEX_INITIALIZER);
  static pthread_cond_t* never = new pthread_cond_t(PTHREAD_COND_INITIALIZER);
  pthread_mutex_lock(lock);
  for (;;) pthread_cond_wait(never, lock);
}

}  // namespace fennick
