# Defines xlsxwriter::xlsxwriter. On Windows libxlsxwriter and zlib are looked for in
# XLSXWRITER_ROOT, by default the Qt prefix, where the cross toolchain keeps static copies (its
# toolchain file searches only the MinGW sysroot). The static file names come first, so that
# no import library (libz.dll.a) is picked; the plain names serve other Windows compilers.
if(TARGET xlsxwriter::xlsxwriter)
    return()
endif()

if(WIN32)
    get_filename_component(_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
    set(XLSXWRITER_ROOT "${_qt_prefix}" CACHE PATH "Prefix that holds libxlsxwriter and zlib")
    find_path(XLSXWRITER_INCLUDE_DIR xlsxwriter.h
        PATHS "${XLSXWRITER_ROOT}/include" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    find_library(XLSXWRITER_LIBRARY NAMES libxlsxwriter.a xlsxwriter
        PATHS "${XLSXWRITER_ROOT}/lib" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    find_library(XLSXWRITER_ZLIB_LIBRARY NAMES libz.a zlib z
        PATHS "${XLSXWRITER_ROOT}/lib" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT XLSXWRITER_INCLUDE_DIR OR NOT XLSXWRITER_LIBRARY OR NOT XLSXWRITER_ZLIB_LIBRARY)
        message(FATAL_ERROR "libxlsxwriter or zlib not found in ${XLSXWRITER_ROOT}: "
            "set XLSXWRITER_ROOT to the prefix that holds both")
    endif()
    add_library(xlsxwriter::xlsxwriter STATIC IMPORTED)
    set_target_properties(xlsxwriter::xlsxwriter PROPERTIES
        IMPORTED_LOCATION "${XLSXWRITER_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${XLSXWRITER_INCLUDE_DIR}"
        INTERFACE_LINK_LIBRARIES "${XLSXWRITER_ZLIB_LIBRARY}")
else()
    # Loaded when the first .xlsx file is written, not at start-up (it brings libcrypto with
    # it): only the headers are used here, and the library's run-time name is compiled in. A
    # static library, or a shared one whose SONAME cannot be read, is linked as usual.
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
    find_library(XLSXWRITER_SHARED_LIBRARY
        NAMES ${CMAKE_SHARED_LIBRARY_PREFIX}xlsxwriter${CMAKE_SHARED_LIBRARY_SUFFIX}
        HINTS ${XLSXWRITER_LIBRARY_DIRS})
    set(_xlsxwriter_soname "")
    if(XLSXWRITER_SHARED_LIBRARY AND CMAKE_OBJDUMP)
        execute_process(COMMAND "${CMAKE_OBJDUMP}" -p "${XLSXWRITER_SHARED_LIBRARY}"
            OUTPUT_VARIABLE _xlsxwriter_dynamic ERROR_QUIET)
        if(_xlsxwriter_dynamic MATCHES "SONAME +([^ \n]+)")
            set(_xlsxwriter_soname "${CMAKE_MATCH_1}")
        endif()
    endif()
    if(_xlsxwriter_soname)
        add_library(xlsxwriter::xlsxwriter INTERFACE IMPORTED)
        set_target_properties(xlsxwriter::xlsxwriter PROPERTIES
            INTERFACE_INCLUDE_DIRECTORIES "${XLSXWRITER_INCLUDE_DIRS}"
            INTERFACE_COMPILE_DEFINITIONS "KELVORA_XLSXWRITER_LIBRARY=\"${_xlsxwriter_soname}\""
            INTERFACE_LINK_LIBRARIES "${CMAKE_DL_LIBS}")
    else()
        message(WARNING "libxlsxwriter's SONAME not found: it is linked, not loaded when needed")
        add_library(xlsxwriter::xlsxwriter ALIAS PkgConfig::XLSXWRITER)
    endif()
endif()
