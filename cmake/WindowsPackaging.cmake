# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# What a Windows user downloads, from a tree cross-compiled for Windows (make windows): the
# program, the DLLs it loads, Qt's Windows platform plugin and style, the licenses and where the
# sources come from, as a zip and as an NSIS installer. The target windows_package makes both
# in the build tree:
#
#     cmake --build build-windows --target windows_package

include_guard(GLOBAL)

get_filename_component(VANTOREL_TOP_DIR "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(VANTOREL_WINDOWS_DIR "${VANTOREL_TOP_DIR}/packaging/windows")
set(VANTOREL_WINDOWS_NAME "vantorel-${VANTOREL_VERSION}-windows-x64")
set(VANTOREL_INSTALLER "Vantorel-Setup-${VANTOREL_VERSION}.exe")
set(VANTOREL_WINDOWS_STAGE "${CMAKE_BINARY_DIR}/stage/${VANTOREL_WINDOWS_NAME}")

# Everything lies in one folder, the program beside its DLLs, where Windows and Qt look first.
install(TARGETS vantorel RUNTIME DESTINATION .)

# The plugins Qt loads by name, which no import table shows: the platform and the style. Qt 6.8
# no longer makes the plugins' targets with their module's.
find_package(Qt6QWindowsIntegrationPlugin REQUIRED PATHS "${Qt6Gui_DIR}" NO_DEFAULT_PATH)
set(qt_plugins "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}")
file(GLOB qt_styles "${qt_plugins}/styles/*.dll")
install(FILES "$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>" DESTINATION platforms)
install(FILES ${qt_styles} DESTINATION styles)
set(VANTOREL_QT_MODULES "platforms/$<TARGET_FILE_NAME:Qt6::QWindowsIntegrationPlugin>")
foreach(style IN LISTS qt_styles)
    get_filename_component(name "${style}" NAME)
    list(APPEND VANTOREL_QT_MODULES "styles/${name}")
endforeach()

# The DLLs: whatever the program and the plugins import, found in Qt's build and where the
# compiler finds its libraries (the MinGW runtime), and what those import in turn; the rest is
# Windows' own.
execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-search-dirs
    OUTPUT_VARIABLE search_dirs COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "libraries: =([^\n]*)" search_dirs "${search_dirs}")
string(REPLACE ":" ";" search_dirs "${CMAKE_MATCH_1}")
set(VANTOREL_DLL_DIRS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
foreach(dir IN LISTS search_dirs)
    get_filename_component(dir "${dir}" REALPATH)
    if(IS_DIRECTORY "${dir}")
        list(APPEND VANTOREL_DLL_DIRS "${dir}")
    endif()
endforeach()
list(REMOVE_DUPLICATES VANTOREL_DLL_DIRS)
set(VANTOREL_QT_DIR "${QT6_INSTALL_PREFIX}")
configure_file("${VANTOREL_WINDOWS_DIR}/runtime-dlls.cmake.in"
    "${CMAKE_BINARY_DIR}/packaging/runtime-dlls.cmake.in" @ONLY)
file(GENERATE OUTPUT "${CMAKE_BINARY_DIR}/packaging/runtime-dlls.cmake"
    INPUT "${CMAKE_BINARY_DIR}/packaging/runtime-dlls.cmake.in")
install(SCRIPT "${CMAKE_BINARY_DIR}/packaging/runtime-dlls.cmake")

install(FILES "${VANTOREL_TOP_DIR}/LICENSE" DESTINATION "licenses/Vantorel Scorekeeper"
    RENAME LICENSE.txt)
install(DIRECTORY "${QT6_INSTALL_PREFIX}/licenses/" DESTINATION licenses/Qt)
install(FILES "${VANTOREL_SQLITE_DIR}/copyright" DESTINATION licenses/SQLite)

# The installer's script: the version and the names from here, the files from the staged tree.
configure_file("${VANTOREL_WINDOWS_DIR}/vantorel.nsi.in" "${CMAKE_BINARY_DIR}/packaging/vantorel.nsi.in"
    @ONLY)
file(GENERATE OUTPUT "${VANTOREL_GENERATED_DIR}/vantorel.nsi"
    INPUT "${CMAKE_BINARY_DIR}/packaging/vantorel.nsi.in")

find_program(VANTOREL_MAKENSIS makensis)
add_custom_target(windows_package
    COMMAND "${CMAKE_COMMAND}" -D "BUILD_DIR=${CMAKE_BINARY_DIR}" -D "STAGE=${VANTOREL_WINDOWS_STAGE}"
            -D "NAME=${VANTOREL_WINDOWS_NAME}" -D "NSIS_SCRIPT=${VANTOREL_GENERATED_DIR}/vantorel.nsi"
            -D "MAKENSIS=${VANTOREL_MAKENSIS}"
            -P "${VANTOREL_WINDOWS_DIR}/package.cmake"
    DEPENDS vantorel
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}"
    COMMENT "Packaging ${VANTOREL_WINDOWS_NAME}.zip and ${VANTOREL_INSTALLER}"
    VERBATIM)

# What the checks under Wine (packaging/windows/check_windows.py) look for.
file(GENERATE OUTPUT "${CMAKE_BINARY_DIR}/windows-package.txt" CONTENT
"version=${VANTOREL_VERSION}
exe=$<TARGET_FILE_NAME:vantorel>
zip=${VANTOREL_WINDOWS_NAME}.zip
installer=${VANTOREL_INSTALLER}
publisher=${VANTOREL_VENDOR}
stage=${VANTOREL_WINDOWS_STAGE}
")
