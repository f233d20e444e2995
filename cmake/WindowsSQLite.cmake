# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# SQLite for the Windows build: its single-file form, made from Debian's source of it by
# packaging/windows/sqlite-amalgamation.sh, compiled into the program as SQLite::SQLite3.

set(VANTOREL_SQLITE_DIR "" CACHE PATH "Folder holding sqlite3.c and sqlite3.h")
if(NOT EXISTS "${VANTOREL_SQLITE_DIR}/sqlite3.c")
    message(FATAL_ERROR "VANTOREL_SQLITE_DIR must name the folder of SQLite's sqlite3.c "
                        "(packaging/windows/sqlite-amalgamation.sh makes it; make windows does)")
endif()

enable_language(C)
add_library(sqlite3 STATIC "${VANTOREL_SQLITE_DIR}/sqlite3.c")
target_include_directories(sqlite3 SYSTEM PUBLIC "${VANTOREL_SQLITE_DIR}")
# Built as Debian builds the library the Linux program links: forgotten games are overwritten.
target_compile_definitions(sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_SECURE_DELETE)
# Its source is SQLite's, compiled as it comes: the project's warnings are not for it.
target_compile_options(sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS sqlite3)

file(STRINGS "${VANTOREL_SQLITE_DIR}/sqlite3.h" sqlite_version REGEX "^#define SQLITE_VERSION ")
string(REGEX MATCH "[0-9.]+" VANTOREL_SQLITE_VERSION "${sqlite_version}")
file(STRINGS "${VANTOREL_SQLITE_DIR}/debian-source-version" VANTOREL_SQLITE_SOURCE LIMIT_COUNT 1)
