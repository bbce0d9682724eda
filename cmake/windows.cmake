# The Windows program: a GUI-subsystem .exe with its icon and version information, linked
# statically (the toolchain passes -static) so that it needs no DLL beside it.
enable_language(RC)

configure_file(${CMAKE_CURRENT_SOURCE_DIR}/resources/windows/kelvora.rc.in
    ${CMAKE_CURRENT_BINARY_DIR}/kelvora.rc @ONLY)
target_sources(kelvora PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/kelvora.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/kelvora.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/kelvora.ico)
set_target_properties(kelvora PROPERTIES WIN32_EXECUTABLE ON)
# Symbols take half of a static Qt program's size.
if(MINGW)
    target_link_options(kelvora PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
endif()
