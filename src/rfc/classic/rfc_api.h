/* The C interface of the SAP RFC library, as far as Fennick uses it.
   Written from the library's documented records and calls; the vendor's
   librfc32.dll (Windows) or librfccm.so (POSIX) and the stand-in in sim/
   both match it. Shared by the program and the stand-in. */
#ifndef FENNICK_RFC_API_H
#define FENNICK_RFC_API_H

#ifdef _WIN32
#define RFC_CALLCONV __stdcall
#else
#define RFC_CALLCONV
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned RFC_HANDLE;     /* connection; 0 means none */
typedef unsigned RFC_TYPEHANDLE; /* installed structure type */
typedef void* RFC_ITAB;          /* internal table; null means none */

/* Logon modes and type codes as the library publishes them. */
enum { RFC_LOGON_HOST = 0, RFC_LOGON_GATEWAY = 1 };
enum { RFC_TYPE_TEXT = 0, RFC_TYPE_DATE = 1, RFC_TYPE_PACKED = 2, RFC_TYPE_TIME = 3, RFC_TYPE_INT = 8 };

typedef void(RFC_CALLCONV* RfcErrorCallback)(char* operation);
typedef void*(RFC_CALLCONV* RfcAllocatorCallback)(void* block, unsigned long size);

typedef struct {
  RfcErrorCallback errorhandler;
  RfcAllocatorCallback allocate;
} RfcEnvironmentRecord;

typedef struct {
  char* gateway_host;
  char* gateway_service;
} RfcGatewayOptions;

typedef struct {
  char* hostname;
  int sysnr;
  char* gateway_host;
  char* gateway_service;
} RfcHostOptions;

typedef struct {
  char* destination;
  int mode;      /* RFC_LOGON_HOST or RFC_LOGON_GATEWAY */
  void* connopt; /* RfcHostOptions* or RfcGatewayOptions* */
  char* client;
  char* user;
  char* password;
  char* language;
  int trace;
} RfcLogonOptions;

typedef struct {
  int group;
  char key[33];
  char message[513];
} RfcErrorInfoEx;

/* 545 bytes, every field a zero-terminated text. */
typedef struct {
  char key[33];
  char status[128];
  char message[256];
  char intstat[128];
} RfcErrorInfo;

typedef struct {
  char* name;
  unsigned type;
  unsigned length;
  unsigned decimals;
  unsigned offset;
} RfcTypeElement;

typedef struct {
  char* name; /* null ends a list */
  unsigned nlen;
  unsigned type;
  unsigned leng;
  void* addr;
} RfcParameter;

typedef struct {
  char* name; /* null ends a list */
  unsigned nlen;
  unsigned type;
  unsigned leng;
  RFC_ITAB ithandle;
  int itmode; /* 0: by reference */
  int newitab;
} RfcTable;

/* The library's functions, as pointer types for run-time binding. */
typedef void(RFC_CALLCONV* RfcEnvironmentFn)(RfcEnvironmentRecord*);
typedef RFC_HANDLE(RFC_CALLCONV* RfcOpenFn)(RfcLogonOptions*);
typedef RFC_HANDLE(RFC_CALLCONV* RfcOpenExFn)(char* connect, RfcErrorInfoEx*);
typedef void(RFC_CALLCONV* RfcCloseFn)(RFC_HANDLE);
typedef int(RFC_CALLCONV* RfcLastErrorFn)(RfcErrorInfo*);
typedef int(RFC_CALLCONV* RfcInstallStructureFn)(char* name, RfcTypeElement*, unsigned count, RFC_TYPEHANDLE*);
typedef int(RFC_CALLCONV* RfcCallFn)(RFC_HANDLE, char* function, RfcParameter* exporting, RfcTable* tables);
typedef int(RFC_CALLCONV* RfcReceiveFn)(RFC_HANDLE, RfcParameter* importing, RfcTable* tables, char** exception);
typedef RFC_ITAB(RFC_CALLCONV* ItCreateFn)(char* name, unsigned leng, unsigned occu, unsigned memo);
typedef unsigned(RFC_CALLCONV* ItFillFn)(RFC_ITAB);
typedef void*(RFC_CALLCONV* ItGetLineFn)(RFC_ITAB, unsigned row);
typedef int(RFC_CALLCONV* ItDeleteFn)(RFC_ITAB);
typedef void*(RFC_CALLCONV* ItAppLineFn)(RFC_ITAB);

#ifdef __cplusplus
} /* extern "C" */

/* The binary interface with the vendor's library: an edit that moves a
   field or changes a record's size must not build. */
#include <cstddef>

#define FENNICK_RFC_ABI(type, size32, size64) \
  static_assert(sizeof(type) == (sizeof(void*) == 4 ? (size32) : (size64)), #type " size")
#define FENNICK_RFC_AT(type, field, at32, at64) \
  static_assert(offsetof(type, field) == (sizeof(void*) == 4 ? (at32) : (at64)), #type "." #field " offset")

FENNICK_RFC_ABI(RfcEnvironmentRecord, 8, 16);
FENNICK_RFC_AT(RfcEnvironmentRecord, errorhandler, 0, 0);
FENNICK_RFC_AT(RfcEnvironmentRecord, allocate, 4, 8);

FENNICK_RFC_ABI(RfcGatewayOptions, 8, 16);
FENNICK_RFC_AT(RfcGatewayOptions, gateway_host, 0, 0);
FENNICK_RFC_AT(RfcGatewayOptions, gateway_service, 4, 8);

FENNICK_RFC_ABI(RfcHostOptions, 16, 32);
FENNICK_RFC_AT(RfcHostOptions, hostname, 0, 0);
FENNICK_RFC_AT(RfcHostOptions, sysnr, 4, 8);
FENNICK_RFC_AT(RfcHostOptions, gateway_host, 8, 16);
FENNICK_RFC_AT(RfcHostOptions, gateway_service, 12, 24);

FENNICK_RFC_ABI(RfcLogonOptions, 32, 64);
FENNICK_RFC_AT(RfcLogonOptions, destination, 0, 0);
FENNICK_RFC_AT(RfcLogonOptions, mode, 4, 8);
FENNICK_RFC_AT(RfcLogonOptions, connopt, 8, 16);
FENNICK_RFC_AT(RfcLogonOptions, client, 12, 24);
FENNICK_RFC_AT(RfcLogonOptions, user, 16, 32);
FENNICK_RFC_AT(RfcLogonOptions, password, 20, 40);
FENNICK_RFC_AT(RfcLogonOptions, language, 24, 48);
FENNICK_RFC_AT(RfcLogonOptions, trace, 28, 56);

FENNICK_RFC_ABI(RfcErrorInfoEx, 552, 552);
FENNICK_RFC_AT(RfcErrorInfoEx, group, 0, 0);
FENNICK_RFC_AT(RfcErrorInfoEx, key, 4, 4);
FENNICK_RFC_AT(RfcErrorInfoEx, message, 37, 37);

FENNICK_RFC_ABI(RfcErrorInfo, 545, 545);
FENNICK_RFC_AT(RfcErrorInfo, key, 0, 0);
FENNICK_RFC_AT(RfcErrorInfo, status, 33, 33);
FENNICK_RFC_AT(RfcErrorInfo, message, 161, 161);
FENNICK_RFC_AT(RfcErrorInfo, intstat, 417, 417);

FENNICK_RFC_ABI(RfcTypeElement, 20, 24);
FENNICK_RFC_AT(RfcTypeElement, name, 0, 0);
FENNICK_RFC_AT(RfcTypeElement, type, 4, 8);
FENNICK_RFC_AT(RfcTypeElement, length, 8, 12);
FENNICK_RFC_AT(RfcTypeElement, decimals, 12, 16);
FENNICK_RFC_AT(RfcTypeElement, offset, 16, 20);

FENNICK_RFC_ABI(RfcParameter, 20, 32);
FENNICK_RFC_AT(RfcParameter, name, 0, 0);
FENNICK_RFC_AT(RfcParameter, nlen, 4, 8);
FENNICK_RFC_AT(RfcParameter, type, 8, 12);
FENNICK_RFC_AT(RfcParameter, leng, 12, 16);
FENNICK_RFC_AT(RfcParameter, addr, 16, 24);

FENNICK_RFC_ABI(RfcTable, 28, 40);
FENNICK_RFC_AT(RfcTable, name, 0, 0);
FENNICK_RFC_AT(RfcTable, nlen, 4, 8);
FENNICK_RFC_AT(RfcTable, type, 8, 12);
FENNICK_RFC_AT(RfcTable, leng, 12, 16);
FENNICK_RFC_AT(RfcTable, ithandle, 16, 24);
FENNICK_RFC_AT(RfcTable, itmode, 20, 32);
FENNICK_RFC_AT(RfcTable, newitab, 24, 36);

#undef FENNICK_RFC_ABI
#undef FENNICK_RFC_AT
#endif

#endif
