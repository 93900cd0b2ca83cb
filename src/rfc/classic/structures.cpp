#include "rfc/classic/structures.h"

#include "rfc/classic/classic_library.h"
#include "rfc/classic/error_handler.h"

namespace fennick {

namespace {

// The library lays the fields out; offsets stay 0 here.
RfcTypeElement Field(const char* name, unsigned type, unsigned length) {
  return RfcTypeElement{const_cast<char*>(name), type, length, 0, 0};
}

std::vector<RfcTypeElement> RfcsiFields() {
  return {Field("RFCPROTO", RFC_TYPE_TEXT, 3),   Field("RFCCHARTYP", RFC_TYPE_TEXT, 4),
          Field("RFCINTTYP", RFC_TYPE_TEXT, 3),  Field("RFCFLOTYP", RFC_TYPE_TEXT, 3),
          Field("RFCDEST", RFC_TYPE_TEXT, 32),   Field("RFCHOST", RFC_TYPE_TEXT, 8),
          Field("RFCSYSID", RFC_TYPE_TEXT, 8),   Field("RFCDATABS", RFC_TYPE_TEXT, 8),
          Field("RFCDBHOST", RFC_TYPE_TEXT, 32), Field("RFCDBSYS", RFC_TYPE_TEXT, 10),
          Field("RFCSAPRL", RFC_TYPE_TEXT, 4),   Field("RFCMACH", RFC_TYPE_TEXT, 5),
          Field("RFCOPSYS", RFC_TYPE_TEXT, 10),  Field("RFCTZONE", RFC_TYPE_TEXT, 6),
          Field("RFCDAYST", RFC_TYPE_TEXT, 1),   Field("RFCIPADDR", RFC_TYPE_TEXT, 15),
          Field("RFCKERNRL", RFC_TYPE_TEXT, 4),  Field("RFCSI_RESV", RFC_TYPE_TEXT, 44)};
}

std::vector<RfcTypeElement> DateTimeFields() {
  return {Field("MONI_DATE", RFC_TYPE_DATE, 8), Field("MONI_TIME", RFC_TYPE_TIME, 6)};
}

std::vector<RfcTypeElement> TableXpcFields() {
  return {Field("TS", RFC_TYPE_TEXT, 30),     Field("INIT_EXT", RFC_TYPE_INT, 4), Field("NEXT_EXT", RFC_TYPE_INT, 4),
          Field("MIN_EXT", RFC_TYPE_INT, 4),  Field("MAX_EXT", RFC_TYPE_INT, 4),  Field("PCT_INCR", RFC_TYPE_INT, 4),
          Field("STATUS", RFC_TYPE_TEXT, 9),  Field("TSIZE", RFC_TYPE_PACKED, 8), Field("TFREE", RFC_TYPE_PACKED, 8),
          Field("TPCTUSED", RFC_TYPE_INT, 4), Field("TEXTENTS", RFC_TYPE_INT, 4), Field("TSEGMENTS", RFC_TYPE_INT, 4),
          Field("TSAU", RFC_TYPE_TEXT, 14),   Field("TSAUPCT", RFC_TYPE_INT, 4)};
}

StructureDescriptor Descriptor(std::vector<RfcTypeElement> elements, const char* name) {
  StructureDescriptor descriptor;
  descriptor.count = static_cast<unsigned>(elements.size());
  descriptor.elements = std::move(elements);
  descriptor.name = name;
  return descriptor;
}

}  // namespace

StructureSet::StructureSet()
    : rfcsi(Descriptor(RfcsiFields(), "RFCSI")),
      dateTime(Descriptor(DateTimeFields(), "DATE_TIME")),
      tableXpc(Descriptor(TableXpcFields(), "TABLE_XPC")) {}

RFC_TYPEHANDLE InstallStructure(const RfcLibrary& library, StructureDescriptor& descriptor) {
  if (descriptor.handle != 0) return descriptor.handle;
  int result = library.RfcInstallStructure(const_cast<char*>(descriptor.name), descriptor.elements.data(),
                                           descriptor.count, &descriptor.handle);
  if (result != 0) RfcErrorHandler(const_cast<char*>("RfcInstallStructure"));
  return descriptor.handle;
}

}  // namespace fennick
