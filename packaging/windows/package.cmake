# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# The target windows_package (cmake/WindowsPackaging.cmake): installs the program into STAGE,
# zips it as NAME.zip in BUILD_DIR, lists the staged files for the installer, which installs
# exactly those and removes exactly those, and makes the installer with MAKENSIS.
#
# cmake -D BUILD_DIR=... -D STAGE=... -D NAME=... -D NSIS_SCRIPT=... -D MAKENSIS=... -P package.cmake

file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${STAGE}" --strip
    COMMAND_ERROR_IS_FATAL ANY)

get_filename_component(stage_parent "${STAGE}" DIRECTORY)
file(REMOVE "${BUILD_DIR}/${NAME}.zip")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${BUILD_DIR}/${NAME}.zip" --format=zip "${NAME}"
    WORKING_DIRECTORY "${stage_parent}" COMMAND_ERROR_IS_FATAL ANY)

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT files)
set(install "; Written by package.cmake: the files the installer puts in place.\n")
set(uninstall "; Written by package.cmake: exactly the files the installer put in place.\n")
set(folders)
set(current_folder "-")
set(size 0)
foreach(file IN LISTS files)
    get_filename_component(folder "${file}" DIRECTORY)
    string(REPLACE "/" "\\" native "${file}")
    if(NOT folder STREQUAL current_folder)
        string(REPLACE "/" "\\" native_folder "\\${folder}")
        if(folder STREQUAL "")
            set(native_folder "")
        endif()
        string(APPEND install "SetOutPath \"$INSTDIR${native_folder}\"\n")
        set(current_folder "${folder}")
        while(NOT folder STREQUAL "")
            list(APPEND folders "${folder}")
            get_filename_component(folder "${folder}" DIRECTORY)
        endwhile()
    endif()
    string(APPEND install "File \"${STAGE}/${file}\"\n")
    string(APPEND uninstall "Delete \"$INSTDIR\\${native}\"\n")
    file(SIZE "${STAGE}/${file}" bytes)
    math(EXPR size "${size} + ${bytes}")
endforeach()
# The deepest folders first: each is removed only once it is empty, never with what the player
# may have put there.
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder IN LISTS folders)
    string(REPLACE "/" "\\" native "${folder}")
    string(APPEND uninstall "RMDir \"$INSTDIR\\${native}\"\n")
endforeach()
math(EXPR size "(${size} + 1023) / 1024")
string(APPEND install "!define INSTALLED_SIZE_KB ${size}\n")

get_filename_component(nsis_dir "${NSIS_SCRIPT}" DIRECTORY)
file(WRITE "${nsis_dir}/installed-files.nsh" "${install}")
file(WRITE "${nsis_dir}/uninstalled-files.nsh" "${uninstall}")
if(NOT MAKENSIS)
    message(FATAL_ERROR "makensis not found: install the Debian package nsis")
endif()
execute_process(COMMAND "${MAKENSIS}" -V2 -INPUTCHARSET UTF8 "${NSIS_SCRIPT}"
    COMMAND_ERROR_IS_FATAL ANY)
