# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# Installation layout, Debian package and checks of the desktop integration
# files.  Include from the top-level CMakeLists.txt after the `vantorel`
# target exists and after include(CTest):
#
#     include(cmake/Packaging.cmake)
#
# The .deb itself is built by packaging/debian/build-deb.sh (`make package`)
# in a tree of its own, configured with Debian's build flags and the program
# in /usr/games; `cmake --install` of any other tree keeps it in bin/.

include_guard(GLOBAL)
include(GNUInstallDirs)

get_filename_component(VANTOREL_TOP_DIR "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(VANTOREL_PACKAGING_DIR "${VANTOREL_TOP_DIR}/packaging")

set(VANTOREL_PACKAGE_NAME "vantorel")
set(VANTOREL_PACKAGE_VERSION "${VANTOREL_VERSION}")
set(VANTOREL_APPSTREAM_ID "org.vantorel.scorekeeper")
set(VANTOREL_ICON_SIZES 16 22 24 32 48 64 128 256)

if(NOT TARGET vantorel)
  message(FATAL_ERROR "Packaging.cmake: include it after the vantorel target is defined")
endif()

option(VANTOREL_DEBIAN_PACKAGE "Install what only the Debian package carries (build-deb.sh)" OFF)

# The AppStream metadata. AppStream 1.0 (Debian 13) names the developer in a <developer>
# block, where AppStream 0.16 (Debian 12) knows only <developer_name>, which 1.0 still reads
# but deprecates: the file is written for the AppStream found here, and in the form every
# version reads where none is. AppStream 1.0 also asks every application for a homepage,
# which this program does not have; that one finding is excused, and the tests still fail
# on any other.
find_program(VANTOREL_APPSTREAMCLI appstreamcli)
set(VANTOREL_APPSTREAM_VERSION 0)
if(VANTOREL_APPSTREAMCLI)
  execute_process(COMMAND "${VANTOREL_APPSTREAMCLI}" --version
    OUTPUT_VARIABLE appstream_version ERROR_QUIET)
  string(REGEX MATCH "[0-9]+\\.[0-9.]+" VANTOREL_APPSTREAM_VERSION "${appstream_version}")
endif()
set(VANTOREL_METAINFO "${CMAKE_CURRENT_BINARY_DIR}/packaging/${VANTOREL_APPSTREAM_ID}.metainfo.xml")
file(READ "${VANTOREL_PACKAGING_DIR}/linux/vantorel.metainfo.xml" metainfo)
if(VANTOREL_APPSTREAM_VERSION VERSION_GREATER_EQUAL 1.0)
  set(VANTOREL_APPSTREAM_EXCUSED --override=url-homepage-missing=pedantic)
else()
  set(VANTOREL_APPSTREAM_EXCUSED)
  string(REGEX REPLACE "<developer id=\"[^\"]*\">[ \n]*<name>([^<]*)</name>[ \n]*</developer>"
    "<developer_name>\\1</developer_name>" metainfo "${metainfo}")
endif()
file(CONFIGURE OUTPUT "${VANTOREL_METAINFO}" CONTENT "${metainfo}" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${VANTOREL_PACKAGING_DIR}/linux/vantorel.metainfo.xml")

# Everything that belongs in the package goes into this component, so that
# install rules of third-party code (test frameworks and the like) never end
# up in the .deb.
set(VANTOREL_COMPONENT vantorel)

install(TARGETS vantorel
  RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT ${VANTOREL_COMPONENT})
# Qt comes from the system's library path: the installed program needs no run
# path, so none of the $ORIGIN entries that qt_standard_project_setup() adds.
set_target_properties(vantorel PROPERTIES INSTALL_RPATH "")
# A stripped install (`cmake --install --strip`, the package) keeps only what
# the dynamic loader needs, and no compiler identification.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded --remove-section=.comment
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:vantorel>\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()" COMPONENT ${VANTOREL_COMPONENT})

if(UNIX AND NOT APPLE)
  install(FILES "${VANTOREL_PACKAGING_DIR}/linux/vantorel.desktop"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/applications"
    COMPONENT ${VANTOREL_COMPONENT})
  # Installed under the component id, as AppStream expects, in the form the system's AppStream
  # reads (see above).
  install(FILES "${VANTOREL_METAINFO}"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo"
    RENAME "${VANTOREL_APPSTREAM_ID}.metainfo.xml"
    COMPONENT ${VANTOREL_COMPONENT})
  if(VANTOREL_DEBIAN_PACKAGE AND VANTOREL_APPSTREAM_EXCUSED)
    install(FILES "${VANTOREL_PACKAGING_DIR}/debian/lintian-overrides"
      DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides"
      RENAME "${VANTOREL_PACKAGE_NAME}"
      COMPONENT ${VANTOREL_COMPONENT})
  endif()
  foreach(size IN LISTS VANTOREL_ICON_SIZES)
    install(FILES "${VANTOREL_PACKAGING_DIR}/icons/hicolor/${size}x${size}/apps/vantorel.png"
      DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
      COMPONENT ${VANTOREL_COMPONENT})
  endforeach()
  install(FILES "${VANTOREL_PACKAGING_DIR}/icons/vantorel.svg"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps"
    COMPONENT ${VANTOREL_COMPONENT})

  # The manual page and the changelog are installed compressed, as Debian
  # wants them: gzip -9 without name and time stamp, so that every build
  # writes the same bytes.
  set(compressed_dir "${CMAKE_CURRENT_BINARY_DIR}/packaging")
  file(MAKE_DIRECTORY "${compressed_dir}")
  configure_file("${VANTOREL_PACKAGING_DIR}/linux/vantorel.6.in" "${compressed_dir}/vantorel.6"
    @ONLY)
  foreach(source "${compressed_dir}/vantorel.6" "${VANTOREL_PACKAGING_DIR}/debian/changelog")
    get_filename_component(name "${source}" NAME)
    execute_process(COMMAND gzip -9n
      INPUT_FILE "${source}"
      OUTPUT_FILE "${compressed_dir}/${name}.gz"
      COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    "${VANTOREL_PACKAGING_DIR}/debian/changelog")
  install(FILES "${compressed_dir}/vantorel.6.gz"
    DESTINATION "${CMAKE_INSTALL_MANDIR}/man6"
    COMPONENT ${VANTOREL_COMPONENT})
  install(FILES "${VANTOREL_PACKAGING_DIR}/debian/copyright" "${compressed_dir}/changelog.gz"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${VANTOREL_PACKAGE_NAME}"
    COMPONENT ${VANTOREL_COMPONENT})
endif()

# ---------------------------------------------------------------------------
# CPack: a single Debian package holding only the vantorel component.

set(CPACK_PACKAGE_NAME "${VANTOREL_PACKAGE_NAME}")
set(CPACK_PACKAGE_VENDOR "${VANTOREL_VENDOR}")
set(CPACK_PACKAGE_VERSION "${VANTOREL_PACKAGE_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "scorekeeper for playing along with a televised quiz show")
set(CPACK_PACKAGE_DESCRIPTION
  "Vantorel Scorekeeper keeps your score while you play along at home with a
televised board-and-clue quiz show. It works entirely offline: it reads and
writes no files and never uses the network.")
set(CPACK_PACKAGE_CONTACT "Vantorel Scorekeeper developers <dev@vantorel.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR "DEB")
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_COMPONENTS_ALL ${VANTOREL_COMPONENT})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

set(CPACK_DEBIAN_PACKAGE_NAME "${VANTOREL_PACKAGE_NAME}")
set(CPACK_DEBIAN_PACKAGE_VERSION "${VANTOREL_PACKAGE_VERSION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps derives the shared library dependencies from the binary, as
# the release it is built on names them: Debian 13 renamed some of the Qt 6
# library packages (libqt6core6t64). build-deb.sh makes sure it is there.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)

# ---------------------------------------------------------------------------
# Checks.  A missing validator fails its check: `make test` installs them all.

if(BUILD_TESTING AND UNIX AND NOT APPLE)
  function(vantorel_missing_tool_test name tool debian_package)
    add_test(NAME ${name}
      COMMAND sh -c "echo '${tool} not found; install the Debian package ${debian_package}' >&2; exit 1")
  endfunction()

  find_program(VANTOREL_DESKTOP_FILE_VALIDATE desktop-file-validate)
  if(VANTOREL_DESKTOP_FILE_VALIDATE)
    add_test(NAME packaging.desktop_file
      COMMAND "${VANTOREL_DESKTOP_FILE_VALIDATE}" "${VANTOREL_PACKAGING_DIR}/linux/vantorel.desktop")
    # Warnings and hints leave the exit status at 0; treat them as failures.
    set_tests_properties(packaging.desktop_file PROPERTIES
      FAIL_REGULAR_EXPRESSION "(error|warning|hint):")
  else()
    vantorel_missing_tool_test(packaging.desktop_file desktop-file-validate desktop-file-utils)
  endif()

  if(VANTOREL_APPSTREAMCLI)
    add_test(NAME packaging.metainfo
      COMMAND "${VANTOREL_APPSTREAMCLI}" validate --pedantic --no-net --strict
              ${VANTOREL_APPSTREAM_EXCUSED} "${VANTOREL_METAINFO}")
  else()
    vantorel_missing_tool_test(packaging.metainfo appstreamcli appstream)
  endif()

  # The resource script is only compiled by Windows builds; a cross windres
  # proves here that it is well formed and carries the expected version
  # record and icon.
  add_test(NAME packaging.windows_resource
    COMMAND sh "${VANTOREL_TOP_DIR}/tests/packaging/check_windows_resource.sh"
            "${VANTOREL_GENERATED_DIR}/vantorel.rc"
            "${CMAKE_CURRENT_BINARY_DIR}/packaging-check/windows" "${VANTOREL_VERSION}"
            "${PROJECT_VERSION_MAJOR}, ${PROJECT_VERSION_MINOR}, ${PROJECT_VERSION_PATCH}, ${PROJECT_VERSION_TWEAK}")

  # Build the .deb as `make package` does, in a tree of its own, inspect it,
  # run lintian on it, unpack it and start the unpacked program.
  add_test(NAME packaging.deb
    COMMAND sh "${VANTOREL_TOP_DIR}/tests/packaging/check_package.sh"
            "${VANTOREL_TOP_DIR}" "${CMAKE_BINARY_DIR}/packaging-check/deb"
            "${VANTOREL_PACKAGE_NAME}" "${VANTOREL_PACKAGE_VERSION}" "${VANTOREL_APPSTREAM_ID}"
            "${VANTOREL_APPSTREAM_EXCUSED}")
  # The package's own build takes every core; ctest -j then runs nothing beside it.
  set_tests_properties(packaging.deb PROPERTIES TIMEOUT 900 PROCESSORS ${VANTOREL_CORES})
endif()
