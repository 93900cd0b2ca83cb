// Layouts of the structures exchanged with SAP, installed once per process.
#pragma once

#include <vector>

#include "rfc/classic/rfc_api.h"

namespace fennick {

struct RfcLibrary;

struct StructureDescriptor {
  std::vector<RfcTypeElement> elements;  // may run longer than `count`
  unsigned count = 0;
  const char* name = "";
  RFC_TYPEHANDLE handle = 0;  // 0 until installed
};

struct StructureSet {
  StructureDescriptor rfcsi;
  StructureDescriptor dateTime;
  StructureDescriptor tableXpc;
  StructureSet();
};

// Byte offsets of the fields the program reads itself.
constexpr unsigned kRfcsiSize = 200;
constexpr unsigned kRfcsiDbsysOffset = 101;
constexpr unsigned kRfcsiDbsysLength = 10;
constexpr unsigned kDateTimeSize = 14;
constexpr unsigned kTablespaceRowSize = 112;
constexpr unsigned kRowNameOffset = 0;
constexpr unsigned kRowNameLength = 30;
constexpr unsigned kRowSizeOffset = 61;
constexpr unsigned kRowFreeOffset = 69;
constexpr unsigned kRowPackedLength = 8;
constexpr unsigned kRowPctUsedOffset = 80;
constexpr unsigned kRowStatusOffset = 52;
constexpr unsigned kRowStatusLength = 9;
constexpr unsigned kRowAutoextendOffset = 92;
constexpr unsigned kRowAutoextendLength = 14;
constexpr unsigned kRowAutoextendPctOffset = 108;

// Installs the structure unless it is installed already; yields its type
// handle. A refusal ends the process through the RFC error handler.
RFC_TYPEHANDLE InstallStructure(const RfcLibrary& library, StructureDescriptor& descriptor);

}  // namespace fennick
