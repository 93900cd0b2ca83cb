// Lock annotations for clang's thread-safety analysis: which lock guards
// which state, and which functions need it held. `make check-locks` builds
// with clang and -Wthread-safety as an error; other compilers ignore them.
#pragma once

#if defined(__clang__)
#define FENNICK_THREAD_ATTRIBUTE(x) __attribute__((x))
#else
#define FENNICK_THREAD_ATTRIBUTE(x)
#endif

#define CAPABILITY(name) FENNICK_THREAD_ATTRIBUTE(capability(name))
#define SCOPED_CAPABILITY FENNICK_THREAD_ATTRIBUTE(scoped_lockable)
#define GUARDED_BY(lock) FENNICK_THREAD_ATTRIBUTE(guarded_by(lock))
#define PT_GUARDED_BY(lock) FENNICK_THREAD_ATTRIBUTE(pt_guarded_by(lock))
#define REQUIRES(...) FENNICK_THREAD_ATTRIBUTE(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) FENNICK_THREAD_ATTRIBUTE(acquire_capability(__VA_ARGS__))
#define RELEASE(...) FENNICK_THREAD_ATTRIBUTE(release_capability(__VA_ARGS__))
#define EXCLUDES(...) FENNICK_THREAD_ATTRIBUTE(locks_excluded(__VA_ARGS__))
#define RETURN_CAPABILITY(lock) FENNICK_THREAD_ATTRIBUTE(lock_returned(lock))
#define ASSERT_CAPABILITY(lock) FENNICK_THREAD_ATTRIBUTE(assert_capability(lock))
