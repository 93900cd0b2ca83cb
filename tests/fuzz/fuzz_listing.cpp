// Listings of item runs: "Vireo.Prf" for ITEM= and the global sensor
// listing "SAP Vireo.Gbl". The first input line is the parameter argument,
// the rest the listing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "driver/run_state.h"
#include "driver/start_up.h"
#include "fuzz_input.h"
#include "profile/sensor_listing.h"
#include "profile/text_util.h"

namespace {

void ReadListing(const std::string& parameters, std::string listing, bool productProfile) {
  fennick::RunState rs;
  // As the command line sets the run up: ITEM= in the parameters, or GLOBAL.
  fennick::ReadArguments(rs, {"fennick", productProfile ? "PRD" : "GLOBAL", parameters});
  fuzz::MemoryFile file = fuzz::OpenText(listing);
  if (!file) std::abort();
  fennick::SensorListing found;
  fennick::Failure failure = fennick::ReadListingFile(file.get(), productProfile, rs.run, found);
  file.reset();

  // CH= is found in the upper-cased parameters and read from the typed ones.
  const fennick::RunParameters& run = rs.run;
  fuzz::Check(run.parameterString == fennick::ToUpper(run.parameterText),
              "parameters and their upper-cased form disagree", run.parameterText);
  fuzz::Check(found.labelKind >= '1' && found.labelKind <= '4', "unknown label kind");
  fuzz::Check(run.itemName.size() <= 90, "item name over 90 characters", run.itemName);
  if (!failure) {
    fuzz::Check(!found.systemList.empty() && !run.itemName.empty(), "accepted a listing without systems or item");
  }

  fennick::SystemEntry entry;
  entry.hostname = "sapprd01";
  entry.destination = "PRD";
  std::string list = found.systemList;
  while (!list.empty()) {
    const size_t before = list.size();
    std::string name = fennick::TakeNextSystem(list);
    // Each step must use up the list, or the item run never ends.
    fuzz::Check(list.size() < before, "system list does not shrink", list);
    fuzz::Check(name.find('#') == std::string::npos, "system name holds the separator", name);
    std::string label = fennick::SystemLabel(found.labelKind, name, entry);
    if (found.labelKind == '2') fuzz::Check(name.compare(0, label.size(), label) == 0, "alias is not the name's stem");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input = fuzz::Text(data, size);
  size_t end = input.find('\n');
  std::string parameters = input.substr(0, end);
  std::string listing = end == std::string::npos ? std::string() : input.substr(end + 1);
  // A command-line argument ends at a NUL byte.
  parameters = parameters.substr(0, parameters.find('\0'));

  ReadListing(parameters, listing, true);
  ReadListing(parameters, listing, false);
  return 0;
}
