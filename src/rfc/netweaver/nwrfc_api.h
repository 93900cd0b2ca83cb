/* The C interface of SAP's NetWeaver RFC library, as far as Fennick uses it.
   Written from the library's documented records and calls, with the
   project's own names for the types; the vendor's sapnwrfc.dll (Windows) or
   libsapnwrfc.so (POSIX) and the stand-in in sim/ both match it. Shared by
   the program and the stand-in. */
#ifndef FENNICK_NWRFC_API_H
#define FENNICK_NWRFC_API_H

/* __stdcall on 32-bit Windows only; 64-bit Windows and POSIX have one
   convention. */
#if defined(_WIN32) && !defined(_WIN64)
#define NWRFC_CALLCONV __stdcall
#else
#define NWRFC_CALLCONV
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* SAP_UC: a UTF-16 code unit in host byte order, on every platform. */
typedef unsigned short NwChar;

/* Handles are opaque pointers; null means failure. A container is a
   function, a structure or a table (which stands for its current row). */
typedef struct NwConnectionRecord* NwConnection;
typedef struct NwFunctionDescRecord* NwFunctionDesc;
typedef struct NwContainerRecord* NwContainer;
typedef NwContainer NwFunction;
typedef NwContainer NwStructure;
typedef NwContainer NwTable;

/* RFC_RC */
enum {
  NW_OK = 0,
  NW_COMMUNICATION_FAILURE = 1,
  NW_LOGON_FAILURE = 2,
  NW_ABAP_RUNTIME_FAILURE = 3,
  NW_ABAP_MESSAGE = 4,
  NW_ABAP_EXCEPTION = 5,
  NW_CLOSED = 6,
  NW_CANCELED = 7,
  NW_TIMEOUT = 8,
  NW_INVALID_HANDLE = 13,
  NW_NOT_FOUND = 17,
  NW_INVALID_PARAMETER = 20,
  NW_CONVERSION_FAILURE = 22,
  NW_BUFFER_TOO_SMALL = 23,
  NW_UNKNOWN_ERROR = 28
};

/* RFC_ERROR_GROUP */
enum {
  NW_GROUP_ABAP_APPLICATION = 1,
  NW_GROUP_ABAP_RUNTIME = 2,
  NW_GROUP_LOGON = 3,
  NW_GROUP_COMMUNICATION = 4,
  NW_GROUP_EXTERNAL_RUNTIME = 5
};

/* RFC_ERROR_INFO: 1752 bytes on every platform. */
typedef struct {
  int code;
  int group;
  NwChar key[128];
  NwChar message[512];
  NwChar abapMsgClass[21];
  NwChar abapMsgType[2];
  NwChar abapMsgNumber[4];
  NwChar abapMsgV1[51];
  NwChar abapMsgV2[51];
  NwChar abapMsgV3[51];
  NwChar abapMsgV4[51];
} NwErrorInfo;

/* RFC_CONNECTION_PARAMETER */
typedef struct {
  const NwChar* name;
  const NwChar* value;
} NwConnectionParameter;

/* The library's functions, as pointer types for run-time binding. */
typedef NwConnection(NWRFC_CALLCONV* NwOpenConnectionFn)(const NwConnectionParameter* parameters, unsigned count,
                                                         NwErrorInfo* error);
typedef int(NWRFC_CALLCONV* NwCloseConnectionFn)(NwConnection connection, NwErrorInfo* error);
typedef NwFunctionDesc(NWRFC_CALLCONV* NwGetFunctionDescFn)(NwConnection connection, const NwChar* name,
                                                            NwErrorInfo* error);
typedef NwFunction(NWRFC_CALLCONV* NwCreateFunctionFn)(NwFunctionDesc description, NwErrorInfo* error);
typedef int(NWRFC_CALLCONV* NwInvokeFn)(NwConnection connection, NwFunction function, NwErrorInfo* error);
typedef int(NWRFC_CALLCONV* NwDestroyFunctionFn)(NwFunction function, NwErrorInfo* error);
typedef int(NWRFC_CALLCONV* NwGetStructureFn)(NwContainer container, const NwChar* name, NwStructure* structure,
                                              NwErrorInfo* error);
typedef int(NWRFC_CALLCONV* NwGetTableFn)(NwContainer container, const NwChar* name, NwTable* table,
                                          NwErrorInfo* error);
typedef int(NWRFC_CALLCONV* NwGetRowCountFn)(NwTable table, unsigned* count, NwErrorInfo* error);
typedef int(NWRFC_CALLCONV* NwMoveToFn)(NwTable table, unsigned index, NwErrorInfo* error);
typedef NwStructure(NWRFC_CALLCONV* NwGetCurrentRowFn)(NwTable table, NwErrorInfo* error);
typedef int(NWRFC_CALLCONV* NwGetCharsFn)(NwContainer container, const NwChar* name, NwChar* buffer, unsigned length,
                                          NwErrorInfo* error);
typedef int(NWRFC_CALLCONV* NwGetStringFn)(NwContainer container, const NwChar* name, NwChar* buffer, unsigned length,
                                           unsigned* needed, NwErrorInfo* error);
typedef int(NWRFC_CALLCONV* NwGetIntFn)(NwContainer container, const NwChar* name, int* value, NwErrorInfo* error);
typedef const NwChar*(NWRFC_CALLCONV* NwGetVersionFn)(unsigned* major, unsigned* minor, unsigned* patch);

#ifdef __cplusplus
} /* extern "C" */

/* The binary interface with the vendor's library. */
#include <cstddef>

static_assert(sizeof(NwChar) == 2, "SAP_UC is two bytes");
static_assert(sizeof(NwErrorInfo) == 1752, "RFC_ERROR_INFO size");
static_assert(offsetof(NwErrorInfo, code) == 0, "RFC_ERROR_INFO.code");
static_assert(offsetof(NwErrorInfo, group) == 4, "RFC_ERROR_INFO.group");
static_assert(offsetof(NwErrorInfo, key) == 8, "RFC_ERROR_INFO.key");
static_assert(offsetof(NwErrorInfo, message) == 264, "RFC_ERROR_INFO.message");
static_assert(offsetof(NwErrorInfo, abapMsgClass) == 1288, "RFC_ERROR_INFO.abapMsgClass");
static_assert(offsetof(NwErrorInfo, abapMsgType) == 1330, "RFC_ERROR_INFO.abapMsgType");
static_assert(offsetof(NwErrorInfo, abapMsgNumber) == 1334, "RFC_ERROR_INFO.abapMsgNumber");
static_assert(offsetof(NwErrorInfo, abapMsgV1) == 1342, "RFC_ERROR_INFO.abapMsgV1");
static_assert(offsetof(NwErrorInfo, abapMsgV2) == 1444, "RFC_ERROR_INFO.abapMsgV2");
static_assert(offsetof(NwErrorInfo, abapMsgV3) == 1546, "RFC_ERROR_INFO.abapMsgV3");
static_assert(offsetof(NwErrorInfo, abapMsgV4) == 1648, "RFC_ERROR_INFO.abapMsgV4");
static_assert(sizeof(NwConnectionParameter) == 2 * sizeof(void*), "RFC_CONNECTION_PARAMETER size");
static_assert(offsetof(NwConnectionParameter, value) == sizeof(void*), "RFC_CONNECTION_PARAMETER.value");
#endif

#endif
