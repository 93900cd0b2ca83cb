#include "sim_functions.h"

#include <cstring>
#include <ctime>
#include <vector>

namespace rfcsim {

namespace {

std::string ParameterName(const char* name) { return name ? std::string(name) : std::string(); }

// Parameter lists end with a null name.
std::vector<RfcParameter*> Parameters(RfcParameter* list) {
  std::vector<RfcParameter*> parameters;
  for (RfcParameter* p = list; p && p->name; ++p) parameters.push_back(p);
  return parameters;
}

std::vector<RfcTable*> Tables(RfcTable* list) {
  std::vector<RfcTable*> tables;
  for (RfcTable* t = list; t && t->name; ++t) tables.push_back(t);
  return tables;
}

void WriteElementary(const RfcParameter& parameter, unsigned type, unsigned length, const FieldValue& value) {
  FieldLayout field;
  field.type = type;
  field.length = length;
  WriteCut(static_cast<unsigned char*>(parameter.addr), parameter.leng, FieldBytes(field, &value));
}

const StructLayout* FindStructure(const StructureSet& structures, RFC_TYPEHANDLE handle) {
  auto found = structures.find(handle);
  return found == structures.end() ? nullptr : &found->second;
}

ReceiveResult Failure(const std::string& error) {
  ReceiveResult result;
  result.code = 1;
  result.error = error;
  return result;
}

std::string NotInstalled(const std::string& name, unsigned type) {
  return name + ": type " + std::to_string(type) + " is not an installed structure";
}

ReceiveResult SystemInfo(const SystemConfig& system, const StructureSet& structures, RfcParameter* importing) {
  std::vector<RfcParameter*> parameters = Parameters(importing);
  for (RfcParameter* p : parameters) {
    if (ParameterName(p->name) == "RFCSI_EXPORT" && !FindStructure(structures, p->type))
      return Failure(NotInstalled("RFCSI_EXPORT", p->type));
  }
  const FieldValues scalars = SystemInfoScalars();
  for (RfcParameter* p : parameters) {
    if (!p->addr) continue;
    std::string name = ParameterName(p->name);
    if (name == "CURRENT_RESOURCES") WriteElementary(*p, RFC_TYPE_INT, 4, scalars.at(name));
    if (name == "MAXIMAL_RESOURCES") WriteElementary(*p, RFC_TYPE_INT, 4, scalars.at(name));
    if (name == "RECOMMENDED_DELAY") WriteElementary(*p, RFC_TYPE_INT, 4, scalars.at(name));
    if (name == "DIALOG_USER_TYPE") WriteElementary(*p, RFC_TYPE_TEXT, 1, scalars.at(name));
    if (name == "RFC_LOGIN_COMPLETE") WriteElementary(*p, RFC_TYPE_TEXT, 1, scalars.at(name));
    if (name == "RFCSI_EXPORT") {
      FillRecord(*FindStructure(structures, p->type), SystemInfoValues(system), static_cast<unsigned char*>(p->addr),
                 p->leng);
    }
  }
  return ReceiveResult();
}

ReceiveResult CurrentSizes(const SystemConfig& system, const StructureSet& structures, TableSet& tableSet,
                           RfcParameter* importing, RfcTable* tableList, const UtcStamp& now) {
  std::vector<RfcParameter*> parameters = Parameters(importing);
  for (RfcParameter* p : parameters) {
    if (ParameterName(p->name) == "DATETIME" && !FindStructure(structures, p->type))
      return Failure(NotInstalled("DATETIME", p->type));
  }
  RfcTable* tsRecord = nullptr;
  for (RfcTable* t : Tables(tableList)) {
    if (ParameterName(t->name) == "TS") {
      tsRecord = t;
      break;
    }
  }
  InternalTable* ts = nullptr;
  const StructLayout* rowType = nullptr;
  if (tsRecord) {
    ts = FindTable(tableSet, tsRecord->ithandle);
    if (!ts) return Failure("TS: no internal table");
    rowType = FindStructure(structures, tsRecord->type);
    if (!rowType) return Failure(NotInstalled("TS", tsRecord->type));
  }

  FieldValues dateTime{{"MONI_DATE", TextValue(now.date)}, {"MONI_TIME", TextValue(now.time)}};
  for (RfcParameter* p : parameters) {
    if (!p->addr) continue;
    std::string name = ParameterName(p->name);
    if (name == "CURR_DATE") WriteElementary(*p, RFC_TYPE_DATE, 8, TextValue(now.date));
    if (name == "CURR_TIME") WriteElementary(*p, RFC_TYPE_TIME, 6, TextValue(now.time));
    if (name == "DATETIME") {
      FillRecord(*FindStructure(structures, p->type), dateTime, static_cast<unsigned char*>(p->addr), p->leng);
    }
  }
  if (!ts) return ReceiveResult();
  const int64_t days = DaysSinceStart(system, std::time(nullptr));
  for (const Tablespace& tablespace : system.tablespaces) {
    unsigned char* row = static_cast<unsigned char*>(AppendRow(*ts));
    if (!row) return Failure("TS: no memory for a row");
    FillRecord(*rowType, TablespaceRowValues(tablespace, days), row, ts->rowLength);
  }
  return ReceiveResult();
}

}  // namespace

ReceiveResult ReceiveFunction(const std::string& function, const SystemConfig& system, const StructureSet& structures,
                              TableSet& tables, RfcParameter* importing, RfcTable* tableList, const UtcStamp& now) {
  if (function == "RFC_SYSTEM_INFO") return SystemInfo(system, structures, importing);
  if (function == "DB_ORA_CURRENT_SIZES") return CurrentSizes(system, structures, tables, importing, tableList, now);
  ReceiveResult result;
  result.code = 2;
  result.exception = "FUNCTION_NOT_FOUND";
  return result;
}

}  // namespace rfcsim
