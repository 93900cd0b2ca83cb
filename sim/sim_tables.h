// Internal tables: rows of a fixed length whose addresses stay put until the
// table is deleted. Handles are checked against the live tables, so a stale
// or foreign handle behaves like null instead of touching freed memory.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rfcsim {

struct InternalTable {
  std::string name;
  unsigned rowLength = 0;
  std::vector<std::unique_ptr<unsigned char[]>> rows;
};

struct TableSet {
  std::map<void*, std::unique_ptr<InternalTable>> live;
};

void* CreateTable(TableSet& tables, const std::string& name, unsigned rowLength);
InternalTable* FindTable(TableSet& tables, void* handle);
// A new zero-filled row at the end; null when no memory can be had.
void* AppendRow(InternalTable& table);
// Rows count from 1; null outside.
void* RowAt(InternalTable& table, unsigned row);
bool DeleteTable(TableSet& tables, void* handle);

}  // namespace rfcsim
