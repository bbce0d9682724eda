# A room is a folder of the source tree built as one static library, kelvora_<room>, from the
# sources in that folder. It links the rooms it USES, and only those may be included from it:
# scripts/check-layers.sh reads the same kelvora_room() calls and fails the tests on an include
# of any other room or on a cycle. LIBS are the Qt modules and other libraries it needs itself.
function(kelvora_room room)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "USES;LIBS")
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    set(uses "")
    foreach(used ${arg_USES})
        list(APPEND uses kelvora_${used})
    endforeach()
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")  # the program's own target
    if(sources)
        file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
        add_library(kelvora_${room} STATIC ${sources} ${headers})
        target_include_directories(kelvora_${room} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(kelvora_${room} PUBLIC ${uses} ${arg_LIBS})
        target_compile_options(kelvora_${room} PRIVATE -Wall -Wextra)
    else()
        # Declarations only.
        add_library(kelvora_${room} INTERFACE)
        target_include_directories(kelvora_${room} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(kelvora_${room} INTERFACE ${uses} ${arg_LIBS})
    endif()
endfunction()
