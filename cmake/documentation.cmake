# What an installation and the .deb hold besides the programs: the manual,
# the man pages made from it, the examples, and the package's copyright and
# changelog. Only for the native build (the Windows zip is packed by
# `make dist`).

install(FILES README.md CHANGELOG.md DESTINATION share/doc/fennick)
install(DIRECTORY docs/ DESTINATION share/doc/fennick/docs FILES_MATCHING PATTERN "*.md")
# The Windows demo script goes into the Windows zip only.
install(DIRECTORY examples/ DESTINATION share/doc/fennick/examples PATTERN windows EXCLUDE)

# Debian keeps the licence and the changelog beside the documentation, the
# changelog compressed without a time stamp so that builds are alike.
install(FILES cmake/debian/copyright DESTINATION share/doc/fennick)
find_program(FENNICK_GZIP gzip)
if(FENNICK_GZIP)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND ${FENNICK_GZIP} -9nc ${PROJECT_SOURCE_DIR}/cmake/debian/changelog > ${CMAKE_BINARY_DIR}/doc/changelog.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
    VERBATIM)
  add_custom_target(debian_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.gz)
  install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz DESTINATION share/doc/fennick)
else()
  message(WARNING "gzip not found: the package is built without its changelog.gz")
endif()

# The man pages fennick(1) and fennick-passwd(1), written from
# docs/NAME.1.md by pandoc at build time. Without pandoc the build goes on
# without them and says so; the package test then says so again.
find_program(FENNICK_PANDOC pandoc)
set(FENNICK_MAN_PAGES fennick fennick-passwd)
if(FENNICK_PANDOC AND FENNICK_GZIP)
  set(pages)
  foreach(page ${FENNICK_MAN_PAGES})
    set(source ${PROJECT_SOURCE_DIR}/docs/${page}.1.md)
    set(page_file ${CMAKE_BINARY_DIR}/man/${page}.1)
    add_custom_command(
      OUTPUT ${page_file}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${FENNICK_PANDOC} --standalone --from markdown --to man
              --metadata "footer=Fennick ${PROJECT_VERSION}" --output ${page_file} ${source}
      COMMAND ${FENNICK_GZIP} -9nf ${page_file}
      DEPENDS ${source}
      VERBATIM)
    list(APPEND pages ${page_file}.gz)
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION share/man/man1)
  set(FENNICK_MAN_PAGES_BUILT ON CACHE INTERNAL "Whether the build makes the man pages")
else()
  message(WARNING "pandoc not found: the man pages fennick(1) and fennick-passwd(1) are not built "
                  "and not installed. Install pandoc (Debian package pandoc) and configure again to get them.")
  set(FENNICK_MAN_PAGES_BUILT OFF CACHE INTERNAL "Whether the build makes the man pages")
endif()
