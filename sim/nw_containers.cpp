#include "nw_containers.h"

namespace nwsim {

namespace {

std::string Padded(const std::string& text, size_t length, char pad) {
  std::string bytes = text.substr(0, length);
  bytes.resize(length, pad);
  return bytes;
}

std::unique_ptr<NwContainerRecord> Container(NwContainerRecord::Kind kind, const std::string& name,
                                             LiveContainers& live) {
  std::unique_ptr<NwContainerRecord> container(new NwContainerRecord);
  container->kind = kind;
  container->name = name;
  container->handle = NewHandleNumber();
  live[container->handle] = container.get();
  return container;
}

void Forget(const NwContainerRecord& container, LiveContainers& live) {
  live.erase(container.handle);
  for (const auto& part : container.parts) Forget(*part, live);
}

std::vector<Field> InitialFields(const std::vector<FieldDesc>& descs) {
  std::vector<Field> fields;
  for (const FieldDesc& desc : descs) fields.push_back(MakeField(desc, nullptr));
  return fields;
}

}  // namespace

Field MakeField(const FieldDesc& desc, const rfcsim::FieldValue* value) {
  using rfcsim::FieldValue;
  Field field;
  field.desc = desc;
  const size_t length = desc.length;
  if (value && value->kind == FieldValue::Raw) {
    // Raw bytes go in as they are: an invalid packed value stays invalid.
    if (desc.type != FieldType::Int) field.bytes = Padded(value->text, length, '\0');
    return field;
  }
  const bool text = value && value->kind == FieldValue::Text;
  const int64_t number = value && value->kind == FieldValue::Number ? value->number : 0;
  switch (desc.type) {
    case FieldType::Char:
      if (text)
        field.bytes = Padded(value->text, length, ' ');
      else if (value)
        field.bytes = Padded(std::to_string(number), length, ' ');
      else
        field.bytes = std::string(length, ' ');
      break;
    case FieldType::Date:
    case FieldType::Time: field.bytes = text ? Padded(value->text, length, ' ') : std::string(length, '0'); break;
    case FieldType::Int: field.integer = static_cast<int32_t>(number); break;
    case FieldType::Packed: field.bytes = rfcsim::EncodePacked(number, length); break;
  }
  return field;
}

NwContainerRecord* CreateFunction(const NwFunctionDescRecord& description, LiveContainers& live) {
  std::unique_ptr<NwContainerRecord> function = Container(NwContainerRecord::Function, description.name, live);
  for (const ParameterDesc& parameter : description.parameters) {
    if (parameter.kind == ParameterDesc::Field) {
      function->fields.push_back(MakeField(parameter.field, nullptr));
    } else if (parameter.kind == ParameterDesc::Structure) {
      std::unique_ptr<NwContainerRecord> structure = Container(NwContainerRecord::Structure, parameter.name, live);
      structure->fields = InitialFields(parameter.fields);
      function->parts.push_back(std::move(structure));
    } else {
      std::unique_ptr<NwContainerRecord> table = Container(NwContainerRecord::Table, parameter.name, live);
      table->rowFields = parameter.fields;
      function->parts.push_back(std::move(table));
    }
  }
  return function.release();
}

void DestroyFunction(NwContainerRecord* function, LiveContainers& live) {
  if (!function) return;
  Forget(*function, live);
  delete function;
}

void SetFields(NwContainerRecord& container, const rfcsim::FieldValues& values) {
  for (Field& field : container.fields) {
    auto found = values.find(field.desc.name);
    if (found != values.end()) field = MakeField(field.desc, &found->second);
  }
}

void ClearRows(NwContainerRecord& table, LiveContainers& live) {
  for (const auto& row : table.parts) Forget(*row, live);
  table.parts.clear();
  table.current = 0;
}

void AppendRow(NwContainerRecord& table, const rfcsim::FieldValues& values, LiveContainers& live) {
  std::unique_ptr<NwContainerRecord> row = Container(NwContainerRecord::Structure, table.name, live);
  row->fields = InitialFields(table.rowFields);
  SetFields(*row, values);
  table.parts.push_back(std::move(row));
}

uintptr_t NewHandleNumber() {
  // Aligned like a pointer and far from null. Called under the state lock.
  static uintptr_t last = 0x10000;
  last += 16;
  return last;
}

NwContainerRecord* HandleOf(const NwContainerRecord* container) {
  return container ? reinterpret_cast<NwContainerRecord*>(container->handle) : nullptr;
}

NwContainerRecord* FindContainer(const LiveContainers& live, NwContainerRecord* handle) {
  auto found = live.find(reinterpret_cast<uintptr_t>(handle));
  return found == live.end() ? nullptr : found->second;
}

Field* FindField(NwContainerRecord& container, const std::string& name) {
  for (Field& field : container.fields) {
    if (field.desc.name == name) return &field;
  }
  return nullptr;
}

NwContainerRecord* FindPart(NwContainerRecord& container, const std::string& name) {
  if (container.kind == NwContainerRecord::Table) return nullptr;  // its parts are rows, not parameters
  for (const auto& part : container.parts) {
    if (part->name == name) return part.get();
  }
  return nullptr;
}

NwContainerRecord* CurrentRow(NwContainerRecord& table) {
  if (table.kind != NwContainerRecord::Table || table.current >= table.parts.size()) return nullptr;
  return table.parts[table.current].get();
}

}  // namespace nwsim
