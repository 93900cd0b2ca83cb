#include <pthread.h>

#include "platform/mutex.h"

namespace fennick {

struct Mutex::Native {
  pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
  pthread_cond_t change = PTHREAD_COND_INITIALIZER;
};

Mutex::Mutex() : native_(new Native) {}

Mutex::~Mutex() {
  pthread_cond_destroy(&native_->change);
  pthread_mutex_destroy(&native_->lock);
}

void Mutex::Lock() { pthread_mutex_lock(&native_->lock); }
void Mutex::Unlock() { pthread_mutex_unlock(&native_->lock); }
void Mutex::Wait() { pthread_cond_wait(&native_->change, &native_->lock); }
void Mutex::WakeAll() { pthread_cond_broadcast(&native_->change); }

}  // namespace fennick
