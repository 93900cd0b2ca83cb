#include "sim_values.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "sim_text.h"

namespace rfcsim {

namespace {

FieldValue SizeFieldValue(const SizeValue& size) {
  return size.raw ? RawValue(size.rawBytes) : NumberValue(size.number);
}

// (SIZE - FREE) * 100 / maximum, truncated toward zero, held to the range
// of a 4-byte integer. Exact while the product fits; beyond that only the
// landscapes of hostile tests go, and long double is near enough there.
int32_t UsedPercentOf(int64_t size, int64_t free, int64_t maximum) {
  int64_t used = 0, product = 0;
  long double percent = 0;
  if (!__builtin_sub_overflow(size, free, &used) && !__builtin_mul_overflow(used, int64_t{100}, &product)) {
    percent = static_cast<long double>(product / maximum);
  } else {
    percent = (static_cast<long double>(size) - static_cast<long double>(free)) * 100 / maximum;
  }
  if (percent >= INT32_MAX) return INT32_MAX;
  if (percent <= INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(percent);
}

}  // namespace

int32_t AutoextendPercent(const Tablespace& tablespace) {
  int64_t maximum = 0;
  if (!ParseInt64(tablespace.autoMax, maximum) || maximum <= 0) return 0;
  // Raw packed bytes carry no number to count with.
  if (tablespace.size.raw || tablespace.free.raw) return 0;
  return UsedPercentOf(tablespace.size.number, tablespace.free.number, maximum);
}

FieldValue TextValue(const std::string& text) {
  FieldValue value;
  value.kind = FieldValue::Text;
  value.text = text;
  return value;
}

FieldValue NumberValue(int64_t number) {
  FieldValue value;
  value.kind = FieldValue::Number;
  value.number = number;
  return value;
}

FieldValue RawValue(const std::string& bytes) {
  FieldValue value;
  value.kind = FieldValue::Raw;
  value.text = bytes;
  return value;
}

std::string EncodePacked(int64_t value, size_t length) {
  std::string bytes(length, '\0');
  if (length == 0) return bytes;
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  // Nibbles from the right: the sign first, then the digits.
  size_t nibbles = length * 2;
  std::string nibble(nibbles, '\0');
  nibble[nibbles - 1] = value < 0 ? 0xD : 0xC;
  for (size_t i = nibbles - 1; i > 0 && magnitude > 0; --i) {
    nibble[i - 1] = static_cast<char>(magnitude % 10);
    magnitude /= 10;
  }
  for (size_t i = 0; i < length; ++i) {
    bytes[i] = static_cast<char>((nibble[2 * i] << 4) | nibble[2 * i + 1]);
  }
  return bytes;
}

FieldValues SystemInfoValues(const SystemConfig& system) {
  char sysnr[16] = "";
  if (system.sysnr) std::snprintf(sysnr, sizeof sysnr, "%02d", static_cast<int>(*system.sysnr));
  return FieldValues{
      {"RFCPROTO", TextValue("011")},
      {"RFCCHARTYP", TextValue("4103")},
      {"RFCINTTYP", TextValue("LIT")},
      {"RFCFLOTYP", TextValue("IE3")},
      {"RFCDEST", TextValue(system.ashost + "_" + system.sid + "_" + sysnr)},
      {"RFCHOST", TextValue(system.ashost)},
      {"RFCSYSID", TextValue(system.sid)},
      {"RFCDATABS", TextValue(system.sid)},
      {"RFCDBHOST", TextValue(system.ashost)},
      {"RFCDBSYS", TextValue(system.dbsys)},
      {"RFCSAPRL", TextValue("740")},
      {"RFCMACH", TextValue("  390")},
      {"RFCOPSYS", TextValue("Linux")},
      {"RFCTZONE", TextValue("  3600")},
      {"RFCDAYST", TextValue("")},
      {"RFCIPADDR", TextValue("10.0.0.1")},
      {"RFCKERNRL", TextValue("753")},
  };
}

FieldValues SystemInfoScalars() {
  return FieldValues{
      {"CURRENT_RESOURCES", NumberValue(5)},  {"MAXIMAL_RESOURCES", NumberValue(20)},
      {"RECOMMENDED_DELAY", NumberValue(0)},  {"DIALOG_USER_TYPE", TextValue("A")},
      {"RFC_LOGIN_COMPLETE", TextValue("X")},
  };
}

int64_t DaysSinceStart(const SystemConfig& system, int64_t now) {
  if (!system.startDay) return 0;
  const int64_t days = now / 86400 - *system.startDay;  // a clock before 1970 is no test's
  return days > 0 ? days : 0;
}

Tablespace GrownTablespace(const Tablespace& tablespace, int64_t days) {
  if (!tablespace.growthKb || *tablespace.growthKb == 0 || days <= 0) return tablespace;
  if (tablespace.size.raw || tablespace.free.raw) return tablespace;  // no number to grow
  Tablespace grown = tablespace;
  const int64_t size = tablespace.size.number;
  // In long double: growth and days of a hostile landscape may be large.
  long double free = static_cast<long double>(tablespace.free.number) -
                     static_cast<long double>(*tablespace.growthKb) * static_cast<long double>(days);
  const long double most = static_cast<long double>(std::max(size, tablespace.free.number));
  if (free > most) free = most;
  if (free < 0) free = 0;
  grown.free.number = static_cast<int64_t>(free);
  if (size > 0) {
    const long double percent = (static_cast<long double>(size) - free) * 100 / static_cast<long double>(size);
    grown.pctUsed = percent >= INT32_MAX ? INT32_MAX : percent <= INT32_MIN ? INT32_MIN : static_cast<int32_t>(percent);
  }
  return grown;
}

FieldValues TablespaceRowValues(const Tablespace& grownFrom, int64_t days) {
  const Tablespace tablespace = GrownTablespace(grownFrom, days);
  return FieldValues{
      {"TS", TextValue(tablespace.name)},
      {"TSIZE", SizeFieldValue(tablespace.size)},
      {"TFREE", SizeFieldValue(tablespace.free)},
      {"TPCTUSED", NumberValue(tablespace.pctUsed)},
      {"STATUS", TextValue(tablespace.status)},
      {"TSAU", TextValue(tablespace.autoMax)},
      {"TSAUPCT", NumberValue(AutoextendPercent(tablespace))},
  };
}

}  // namespace rfcsim
