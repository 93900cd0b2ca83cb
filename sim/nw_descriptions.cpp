#include "nw_descriptions.h"

#include <map>

namespace nwsim {

namespace {

FieldDesc Field(const char* name, FieldType type, unsigned length) { return FieldDesc{name, type, length}; }

ParameterDesc Elementary(const char* name, FieldType type, unsigned length) {
  ParameterDesc parameter;
  parameter.kind = ParameterDesc::Field;
  parameter.name = name;
  parameter.field = Field(name, type, length);
  return parameter;
}

ParameterDesc Composite(ParameterDesc::Kind kind, const char* name, std::vector<FieldDesc> fields) {
  ParameterDesc parameter;
  parameter.kind = kind;
  parameter.name = name;
  parameter.fields = std::move(fields);
  return parameter;
}

// The RFCSI and TABLE_XPC layouts are those the classic road installs.
NwFunctionDescRecord SystemInfo() {
  const FieldType c = FieldType::Char;
  return NwFunctionDescRecord{
      "RFC_SYSTEM_INFO",
      {Elementary("CURRENT_RESOURCES", FieldType::Int, 4), Elementary("DIALOG_USER_TYPE", c, 1),
       Elementary("MAXIMAL_RESOURCES", FieldType::Int, 4), Elementary("RECOMMENDED_DELAY", FieldType::Int, 4),
       Composite(
           ParameterDesc::Structure, "RFCSI_EXPORT",
           {Field("RFCPROTO", c, 3), Field("RFCCHARTYP", c, 4), Field("RFCINTTYP", c, 3), Field("RFCFLOTYP", c, 3),
            Field("RFCDEST", c, 32), Field("RFCHOST", c, 8), Field("RFCSYSID", c, 8), Field("RFCDATABS", c, 8),
            Field("RFCDBHOST", c, 32), Field("RFCDBSYS", c, 10), Field("RFCSAPRL", c, 4), Field("RFCMACH", c, 5),
            Field("RFCOPSYS", c, 10), Field("RFCTZONE", c, 6), Field("RFCDAYST", c, 1), Field("RFCIPADDR", c, 15),
            Field("RFCKERNRL", c, 4), Field("RFCSI_RESV", c, 44)}),
       Elementary("RFC_LOGIN_COMPLETE", c, 1)}};
}

NwFunctionDescRecord CurrentSizes() {
  const FieldType c = FieldType::Char;
  const FieldType i = FieldType::Int;
  return NwFunctionDescRecord{
      "DB_ORA_CURRENT_SIZES",
      {Elementary("CURR_DATE", FieldType::Date, 8), Elementary("CURR_TIME", FieldType::Time, 6),
       Composite(ParameterDesc::Structure, "DATETIME",
                 {Field("MONI_DATE", FieldType::Date, 8), Field("MONI_TIME", FieldType::Time, 6)}),
       Composite(ParameterDesc::Table, "TS",
                 {Field("TS", c, 30), Field("INIT_EXT", i, 4), Field("NEXT_EXT", i, 4), Field("MIN_EXT", i, 4),
                  Field("MAX_EXT", i, 4), Field("PCT_INCR", i, 4), Field("STATUS", c, 9),
                  Field("TSIZE", FieldType::Packed, 8), Field("TFREE", FieldType::Packed, 8), Field("TPCTUSED", i, 4),
                  Field("TEXTENTS", i, 4), Field("TSEGMENTS", i, 4), Field("TSAU", c, 14), Field("TSAUPCT", i, 4)})}};
}

// The known functions with their usual widths, by name.
const std::map<std::string, NwFunctionDescRecord>& Usual() {
  static const std::map<std::string, NwFunctionDescRecord>* usual = [] {
    auto* made = new std::map<std::string, NwFunctionDescRecord>;
    for (const NwFunctionDescRecord& description : {SystemInfo(), CurrentSizes()})
      (*made)[description.name] = description;
    return made;
  }();
  return *usual;
}

// Every description handed out, by name and the widths that differ from
// the usual ones ("DB_ORA_CURRENT_SIZES TS=40"). Never destroyed: exit
// handlers of the caller may still ask for one.
std::map<std::string, NwFunctionDescRecord*>& Descriptions() {
  static auto* descriptions = new std::map<std::string, NwFunctionDescRecord*>;
  return *descriptions;
}

// Gives a CHAR field the width `widths` names for it; `key` gets the change.
void Widen(FieldDesc& field, const std::map<std::string, int32_t>& widths, std::string& key) {
  auto width = widths.find(field.name);
  if (field.type != FieldType::Char || width == widths.end()) return;
  if (field.length == static_cast<unsigned>(width->second)) return;
  field.length = static_cast<unsigned>(width->second);
  key += " " + field.name + "=" + std::to_string(field.length);
}

}  // namespace

NwFunctionDescRecord* FindDescription(const std::string& name, const std::map<std::string, int32_t>& widths) {
  auto usual = Usual().find(name);
  if (usual == Usual().end()) return nullptr;
  NwFunctionDescRecord description = usual->second;
  std::string key = name;
  for (ParameterDesc& parameter : description.parameters) {
    if (parameter.kind == ParameterDesc::Field) Widen(parameter.field, widths, key);
    for (FieldDesc& field : parameter.fields) Widen(field, widths, key);
  }
  NwFunctionDescRecord*& handedOut = Descriptions()[key];
  if (!handedOut) handedOut = new NwFunctionDescRecord(std::move(description));
  return handedOut;
}

bool IsDescription(const NwFunctionDescRecord* handle) {
  if (!handle) return false;
  for (const auto& entry : Descriptions()) {
    if (entry.second == handle) return true;
  }
  return false;
}

}  // namespace nwsim
