# GoogleTest built from Debian's sources (package googletest) with the same compiler as the
# tests, since no prebuilt copy exists for the target.
find_path(GOOGLETEST_SOURCE_DIR googletest/CMakeLists.txt
    PATHS /usr/src/googletest NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT GOOGLETEST_SOURCE_DIR)
    message(FATAL_ERROR "GoogleTest sources not found: install the Debian package googletest")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
