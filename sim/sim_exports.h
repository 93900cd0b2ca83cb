// The functions the stand-in exports under their plain names, with the
// types of rfc/rfc_api.h.
#pragma once

#include "rfc/classic/rfc_api.h"

#ifdef _WIN32
#define SIM_EXPORT __declspec(dllexport)
#else
#define SIM_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

SIM_EXPORT void RFC_CALLCONV RfcEnvironment(RfcEnvironmentRecord* record);
SIM_EXPORT RFC_HANDLE RFC_CALLCONV RfcOpen(RfcLogonOptions* options);
SIM_EXPORT RFC_HANDLE RFC_CALLCONV RfcOpenEx(char* connect, RfcErrorInfoEx* errorEx);
SIM_EXPORT void RFC_CALLCONV RfcClose(RFC_HANDLE handle);
SIM_EXPORT int RFC_CALLCONV RfcLastError(RfcErrorInfo* info);
SIM_EXPORT int RFC_CALLCONV RfcInstallStructure(char* name, RfcTypeElement* elements, unsigned count,
                                                RFC_TYPEHANDLE* handle);
SIM_EXPORT int RFC_CALLCONV RfcCall(RFC_HANDLE handle, char* function, RfcParameter* exporting, RfcTable* tables);
SIM_EXPORT int RFC_CALLCONV RfcReceive(RFC_HANDLE handle, RfcParameter* importing, RfcTable* tables, char** exception);
SIM_EXPORT RFC_ITAB RFC_CALLCONV ItCreate(char* name, unsigned leng, unsigned occu, unsigned memo);
SIM_EXPORT unsigned RFC_CALLCONV ItFill(RFC_ITAB table);
SIM_EXPORT void* RFC_CALLCONV ItGetLine(RFC_ITAB table, unsigned row);
SIM_EXPORT int RFC_CALLCONV ItDelete(RFC_ITAB table);
SIM_EXPORT void* RFC_CALLCONV ItAppLine(RFC_ITAB table);

}  // extern "C"
