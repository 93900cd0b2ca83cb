#include "sim_tables.h"

#include <new>

namespace rfcsim {

void* CreateTable(TableSet& tables, const std::string& name, unsigned rowLength) {
  std::unique_ptr<InternalTable> table(new (std::nothrow) InternalTable);
  if (!table) return nullptr;
  table->name = name;
  table->rowLength = rowLength;
  void* handle = table.get();
  tables.live[handle] = std::move(table);
  return handle;
}

InternalTable* FindTable(TableSet& tables, void* handle) {
  if (!handle) return nullptr;
  auto found = tables.live.find(handle);
  return found == tables.live.end() ? nullptr : found->second.get();
}

void* AppendRow(InternalTable& table) {
  // A row of length 0 still needs an address of its own.
  size_t bytes = table.rowLength > 0 ? table.rowLength : 1;
  std::unique_ptr<unsigned char[]> row(new (std::nothrow) unsigned char[bytes]());
  if (!row) return nullptr;
  void* address = row.get();
  table.rows.push_back(std::move(row));
  return address;
}

void* RowAt(InternalTable& table, unsigned row) {
  if (row < 1 || row > table.rows.size()) return nullptr;
  return table.rows[row - 1].get();
}

bool DeleteTable(TableSet& tables, void* handle) {
  if (!handle) return false;
  return tables.live.erase(handle) > 0;
}

}  // namespace rfcsim
