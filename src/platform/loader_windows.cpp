#include <windows.h>

#include <cstdint>

#include "platform/files.h"
#include "platform/loader.h"
#include "platform/windows_names.h"

namespace fennick {

namespace {

uint32_t LittleEndian(const unsigned char* bytes, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

bool ReadAt(std::FILE* file, long offset, unsigned char* bytes, size_t count) {
  return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(bytes, 1, count, file) == count;
}

}  // namespace

void* LoadSharedLibrary(const std::string& nativePath) {
  return reinterpret_cast<void*>(LoadLibraryW(WideName(nativePath).c_str()));
}

void* FindLibraryFunction(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

int LibraryFileWidth(const std::string& nativePath) {
  // "MZ", the offset of the PE header at 0x3C; there "PE\0\0", the 20-byte
  // file header, then the optional header, whose magic gives the width.
  FilePtr file = OpenForRead(nativePath);
  unsigned char dos[64];
  if (!file || !ReadAt(file.get(), 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return 0;
  unsigned char pe[26];
  uint32_t at = LittleEndian(dos + 0x3C, 4);
  if (at > 0x10000000 || !ReadAt(file.get(), static_cast<long>(at), pe, sizeof pe)) return 0;
  if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0) return 0;
  uint32_t magic = LittleEndian(pe + 24, 2);
  return magic == 0x10b ? 32 : magic == 0x20b ? 64 : 0;
}

const char* OtherWidthBuildName() { return sizeof(void*) == 4 ? "x64" : "x86"; }

}  // namespace fennick
