# `make package`: a Debian package and a tar.gz of what `make install`
# puts in place, written to the build folder.
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_PACKAGE_NAME fennick)
set(CPACK_PACKAGE_VENDOR "Fennick")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Oracle tablespace free space of SAP systems for network monitors")
set(CPACK_PACKAGE_DESCRIPTION "Fennick logs on to SAP systems through the SAP RFC library and reports the
free space of their Oracle tablespaces as a sensor document for PRTG and
other host products, or as a monitoring plugin for Nagios, Icinga, Naemon
and Checkmk. The SAP RFC library (librfccm.so or libsapnwrfc.so) is not
part of this package: install the vendor's library separately.")
set(FENNICK_MAINTAINER "Fennick maintainers <fennick@example.org>" CACHE STRING
  "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${FENNICK_MAINTAINER}")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME "fennick-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The programs need only the C library (and the C++ runtime where it is not
# linked in); the RFC library is loaded at run time and is the user's.
# dpkg-shlibdeps gives the exact versions where it is installed; else the
# runtime packages by name.
find_program(FENNICK_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(FENNICK_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
elseif(FENNICK_STATIC_RUNTIME)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
endif()

include(CPack)
