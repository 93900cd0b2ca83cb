// What the simulated systems answer, by field name: the values both
// stand-ins put into their records, whatever layout each gives them.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "sim_config.h"

namespace rfcsim {

// What goes into a field. Fields without a value get the initial value of
// their type: blanks for text, zeros for dates, times and integers, packed 0.
struct FieldValue {
  enum Kind { Text, Number, Raw } kind = Text;
  std::string text;    // Text, or the bytes of Raw
  int64_t number = 0;  // Number
};

using FieldValues = std::map<std::string, FieldValue>;

FieldValue TextValue(const std::string& text);
FieldValue NumberValue(int64_t number);
FieldValue RawValue(const std::string& bytes);

// `length` bytes: two digits a byte, high nibble first, the low nibble of the
// last byte the sign (C, or D when negative). Digits that do not fit are
// dropped from the front.
std::string EncodePacked(int64_t value, size_t length);

// The RFCSI values of a system, by field name.
FieldValues SystemInfoValues(const SystemConfig& system);

// RFC_SYSTEM_INFO's parameters beside RFCSI_EXPORT: CURRENT_RESOURCES,
// MAXIMAL_RESOURCES, RECOMMENDED_DELAY, DIALOG_USER_TYPE, RFC_LOGIN_COMPLETE.
FieldValues SystemInfoScalars();

// TSAUPCT: (SIZE - FREE) * 100 / maximum, truncated, where the maximum
// (TSAU as written) is a number above 0 and both sizes are numbers; else 0.
int32_t AutoextendPercent(const Tablespace& tablespace);

// Whole days since the system's start at `now` (UTC seconds); 0 without a
// start or before it.
int64_t DaysSinceStart(const SystemConfig& system, int64_t now);

// The tablespace `days` whole days after its system's start: used KB grown
// by its growth each day, so FREE falls by as much (never below 0, and
// never above SIZE when it shrinks); PCTUSED then is (SIZE - FREE) * 100 /
// SIZE, truncated. Without a growth, or on the start day, as written.
Tablespace GrownTablespace(const Tablespace& tablespace, int64_t days);

// One row of table TS, by field name: TSAU as written (left-aligned, blank
// padded by the field), STATUS as written or "ONLINE"; grown by `days`.
FieldValues TablespaceRowValues(const Tablespace& tablespace, int64_t days = 0);

}  // namespace rfcsim
