#include "sim_landscape.h"

#include <cstdint>
#include <filesystem>

#include "sim_spin_lock.h"
#include "sim_text.h"

namespace rfcsim {

namespace {

const char kConfigFile[] = "sapsim.ini";
const char kNotReached[] = "partner not reached";

// The landscape as last parsed, with what identified the file then.
struct LandscapeCache {
  bool valid = false;
  std::uintmax_t size = 0;
  std::filesystem::file_time_type written;
  ConfigResult parsed;
  RouteIndex routes;
};

// Never destroyed: exit handlers of the caller may still log on. Touched
// only under g_cacheLock.
LandscapeCache& Cache() {
  static LandscapeCache* cache = new LandscapeCache;
  return *cache;
}

SpinLock g_cacheLock;

// A file unchanged in size and time is not parsed again: a landscape of
// thousands of systems would otherwise cost its whole size at every logon.
const LandscapeCache* Landscape() {
  LandscapeCache& cache = Cache();
  std::error_code error;
  std::uintmax_t size = std::filesystem::file_size(kConfigFile, error);
  std::filesystem::file_time_type written = std::filesystem::last_write_time(kConfigFile, error);
  if (error) {
    cache.valid = false;
  } else if (!cache.valid || cache.size != size || cache.written != written) {
    std::string text;
    cache.valid = ReadWholeFile(kConfigFile, text);
    cache.size = size;
    cache.written = written;
    cache.parsed = ParseSimConfig(text);
    cache.routes = BuildRouteIndex(cache.parsed.config);
  }
  return cache.valid ? &cache : nullptr;
}

}  // namespace

Reach ReachSystem(const LogonRequest& request) {
  Reach reach;
  SpinGuard guard(g_cacheLock);
  const LandscapeCache* landscape = Landscape();
  if (!landscape) {
    reach.failure = kNotReached;
  } else if (!landscape->parsed.ok) {
    reach.failure = ConfigErrorText(landscape->parsed);
    reach.badFile = true;
  } else if (const SystemConfig* system = FindSystem(landscape->parsed.config, landscape->routes, request)) {
    reach.system = *system;
  } else {
    reach.failure = kNotReached;
  }
  return reach;
}

}  // namespace rfcsim
