// The functions the NetWeaver stand-in exports under their plain names,
// with the types of rfc/netweaver/nwrfc_api.h.
#pragma once

#include "rfc/netweaver/nwrfc_api.h"

#ifdef _WIN32
#define NW_EXPORT __declspec(dllexport)
#else
#define NW_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

NW_EXPORT NwConnection NWRFC_CALLCONV RfcOpenConnection(const NwConnectionParameter* parameters, unsigned count,
                                                        NwErrorInfo* error);
NW_EXPORT int NWRFC_CALLCONV RfcCloseConnection(NwConnection connection, NwErrorInfo* error);
NW_EXPORT NwFunctionDesc NWRFC_CALLCONV RfcGetFunctionDesc(NwConnection connection, const NwChar* name,
                                                           NwErrorInfo* error);
NW_EXPORT NwFunction NWRFC_CALLCONV RfcCreateFunction(NwFunctionDesc description, NwErrorInfo* error);
NW_EXPORT int NWRFC_CALLCONV RfcInvoke(NwConnection connection, NwFunction function, NwErrorInfo* error);
NW_EXPORT int NWRFC_CALLCONV RfcDestroyFunction(NwFunction function, NwErrorInfo* error);
NW_EXPORT int NWRFC_CALLCONV RfcGetStructure(NwContainer container, const NwChar* name, NwStructure* structure,
                                             NwErrorInfo* error);
NW_EXPORT int NWRFC_CALLCONV RfcGetTable(NwContainer container, const NwChar* name, NwTable* table, NwErrorInfo* error);
NW_EXPORT int NWRFC_CALLCONV RfcGetRowCount(NwTable table, unsigned* count, NwErrorInfo* error);
NW_EXPORT int NWRFC_CALLCONV RfcMoveTo(NwTable table, unsigned index, NwErrorInfo* error);
NW_EXPORT NwStructure NWRFC_CALLCONV RfcGetCurrentRow(NwTable table, NwErrorInfo* error);
NW_EXPORT int NWRFC_CALLCONV RfcGetChars(NwContainer container, const NwChar* name, NwChar* buffer, unsigned length,
                                         NwErrorInfo* error);
NW_EXPORT int NWRFC_CALLCONV RfcGetString(NwContainer container, const NwChar* name, NwChar* buffer, unsigned length,
                                          unsigned* needed, NwErrorInfo* error);
NW_EXPORT int NWRFC_CALLCONV RfcGetInt(NwContainer container, const NwChar* name, int* value, NwErrorInfo* error);
NW_EXPORT const NwChar* NWRFC_CALLCONV RfcGetVersion(unsigned* major, unsigned* minor, unsigned* patch);

}  // extern "C"
