# Defines Eigen3::Eigen, header-only. The Windows cross build uses the build machine's headers
# (Debian's libeigen3-dev) through an explicit folder, since its toolchain file searches only
# the MinGW sysroot; EIGEN3_INCLUDE_DIR chooses another.
if(TARGET Eigen3::Eigen)
    return()
endif()

if(WIN32)
    set(EIGEN3_INCLUDE_DIR "/usr/include/eigen3" CACHE PATH "Folder that holds Eigen/Dense")
    if(NOT EXISTS "${EIGEN3_INCLUDE_DIR}/Eigen/Dense" OR
       NOT EXISTS "${EIGEN3_INCLUDE_DIR}/unsupported/Eigen/LevenbergMarquardt")
        message(FATAL_ERROR "Eigen 3 not found in ${EIGEN3_INCLUDE_DIR}: "
            "set EIGEN3_INCLUDE_DIR to the folder that holds Eigen/ and unsupported/")
    endif()
    add_library(Eigen3::Eigen INTERFACE IMPORTED)
    set_target_properties(Eigen3::Eigen PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${EIGEN3_INCLUDE_DIR}")
else()
    find_package(Eigen3 3.3 REQUIRED NO_MODULE)
endif()
