// The program's name and version texts, as the banner, the help and -V show them.
#pragma once

namespace fennick {

constexpr char kProgramName[] = "Fennick";
constexpr char kVersion[] = "Vers 4.3 / 29.08.22";
// The package's version, from the build (its project version).
constexpr char kPackageVersion[] = FENNICK_PACKAGE_VERSION;

}  // namespace fennick
