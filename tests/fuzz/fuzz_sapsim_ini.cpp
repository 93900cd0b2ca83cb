// sapsim.ini, the landscape the RFC stand-in simulates.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "sim_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Text(data, size);
  rfcsim::ConfigResult result = rfcsim::ParseSimConfig(text);
  if (!result.ok) {
    // The trace line names the line, so it must be one of the file's.
    fuzz::Check(result.errorLine >= 1 && static_cast<size_t>(result.errorLine) <= size, "error on no line");
    fuzz::Check(!result.error.empty(), "error without a reason");
    fuzz::Check(result.config.systems.empty(), "a malformed file still describes systems");
    const std::string message = rfcsim::ConfigErrorText(result);
    fuzz::Check(message.rfind("sapsim.ini line " + std::to_string(result.errorLine) + ": ", 0) == 0,
                "error text out of shape", message);
    return 0;
  }
  for (const rfcsim::SystemConfig& system : result.config.systems) {
    fuzz::Check(!system.sid.empty(), "system without a name");
    fuzz::Check(system.delayMs >= 0 && system.delayMs <= rfcsim::kMaxDelayMs, "delay out of range");
    for (const rfcsim::Tablespace& row : system.tablespaces) {
      fuzz::Check(!row.size.raw || row.size.rawBytes.size() == 8, "raw size not 8 bytes");
      fuzz::Check(!row.free.raw || row.free.rawBytes.size() == 8, "raw free size not 8 bytes");
    }
    for (const rfcsim::Fault& fault : system.faults) {
      fuzz::Check(rfcsim::FindFault(system, fault.kind, fault.target) != nullptr, "configured fault not found");
    }
  }
  return 0;
}
