# Defines xlsxwriter::xlsxwriter. The Windows toolchain keeps static libxlsxwriter and zlib in
# the Qt prefix; the toolchain file searches only the MinGW sysroot, so the prefix is searched
# explicitly, by full file name, so that no import library (libz.dll.a) is picked.
if(TARGET xlsxwriter::xlsxwriter)
    return()
endif()

if(WIN32)
    get_filename_component(_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
    set(XLSXWRITER_ROOT "${_qt_prefix}" CACHE PATH "Prefix that holds libxlsxwriter and zlib")
    find_path(XLSXWRITER_INCLUDE_DIR xlsxwriter.h
        PATHS "${XLSXWRITER_ROOT}/include" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    find_library(XLSXWRITER_LIBRARY NAMES libxlsxwriter.a
        PATHS "${XLSXWRITER_ROOT}/lib" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    find_library(XLSXWRITER_ZLIB_LIBRARY NAMES libz.a
        PATHS "${XLSXWRITER_ROOT}/lib" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT XLSXWRITER_INCLUDE_DIR OR NOT XLSXWRITER_LIBRARY OR NOT XLSXWRITER_ZLIB_LIBRARY)
        message(FATAL_ERROR "libxlsxwriter or zlib not found in ${XLSXWRITER_ROOT}")
    endif()
    add_library(xlsxwriter::xlsxwriter STATIC IMPORTED)
    set_target_properties(xlsxwriter::xlsxwriter PROPERTIES
        IMPORTED_LOCATION "${XLSXWRITER_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${XLSXWRITER_INCLUDE_DIR}"
        INTERFACE_LINK_LIBRARIES "${XLSXWRITER_ZLIB_LIBRARY}")
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
    add_library(xlsxwriter::xlsxwriter ALIAS PkgConfig::XLSXWRITER)
endif()
