# Defines SQLite::SQLite3. On Windows the static library is looked for in SQLITE3_ROOT, by
# default the Qt prefix, where the cross toolchain keeps it (its toolchain file searches only
# the MinGW sysroot); the static file name comes first so that no import library is picked.
if(TARGET SQLite::SQLite3)
    return()
endif()

if(WIN32)
    get_filename_component(_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
    set(SQLITE3_ROOT "${_qt_prefix}" CACHE PATH "Prefix that holds the static SQLite 3")
    find_path(SQLITE3_INCLUDE_DIR sqlite3.h
        PATHS "${SQLITE3_ROOT}/include" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    find_library(SQLITE3_LIBRARY NAMES libsqlite3.a sqlite3
        PATHS "${SQLITE3_ROOT}/lib" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT SQLITE3_INCLUDE_DIR OR NOT SQLITE3_LIBRARY)
        message(FATAL_ERROR "SQLite 3 not found in ${SQLITE3_ROOT}: "
            "set SQLITE3_ROOT to the prefix that holds lib/libsqlite3.a and include/sqlite3.h")
    endif()
    add_library(SQLite::SQLite3 STATIC IMPORTED)
    set_target_properties(SQLite::SQLite3 PROPERTIES
        IMPORTED_LOCATION "${SQLITE3_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${SQLITE3_INCLUDE_DIR}")
else()
    find_package(SQLite3 REQUIRED)  # Debian's libsqlite3-dev
endif()
