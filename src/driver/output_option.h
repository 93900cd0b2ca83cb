// "-o FILE" / "--output=FILE": the result goes into FILE, written whole,
// instead of standard output.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace fennick {

struct RunSwitches;

// Reads the option at args[i], moving i past a value given as the next
// argument; false when args[i] is not this option. The first one given
// counts; one without a file is a bad option.
bool ReadOutputOption(const std::vector<std::string>& args, size_t& i, RunSwitches& switches);

}  // namespace fennick
