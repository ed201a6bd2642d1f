# One library pair per subsystem folder:
#   vestar_<sub>_portable  modules without <windows.h> (both builds)
#   vestar_<sub>           Windows modules (Windows build only)
# A library without sources yet becomes an INTERFACE library, so that a
# subsystem can start empty.

function(vestar_portable_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    if(ARG_SOURCES)
        add_library(${name} STATIC ${ARG_SOURCES})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} PUBLIC vestar_warnings ${ARG_DEPS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
endfunction()

function(vestar_win_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    if(NOT WIN32)
        return()
    endif()
    if(ARG_SOURCES)
        add_library(${name} STATIC ${ARG_SOURCES})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} PUBLIC vestar_warnings vestar_win_system ${ARG_DEPS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE vestar_win_system ${ARG_DEPS})
    endif()
endfunction()

# A subsystem folder's libraries from its files: src/<sub>/*.cpp are Windows
# modules, src/<sub>/portable/*.cpp the modules without <windows.h>.
function(vestar_subsystem sub)
    cmake_parse_arguments(ARG "" "" "PORTABLE_DEPS;WIN_DEPS" ${ARGN})
    file(GLOB portable_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/portable/*.cpp)
    vestar_portable_library(vestar_${sub}_portable SOURCES ${portable_sources}
                            DEPS ${ARG_PORTABLE_DEPS})
    if(WIN32)
        file(GLOB win_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
        list(REMOVE_ITEM win_sources ${CMAKE_CURRENT_SOURCE_DIR}/Install.cpp)
        vestar_win_library(vestar_${sub} SOURCES ${win_sources}
                           DEPS vestar_${sub}_portable ${ARG_WIN_DEPS})
    endif()
endfunction()

# Every subfolder of the current folder that has a CMakeLists.txt.
function(vestar_add_subfolders)
    file(GLOB entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(entry IN LISTS entries)
        if(IS_DIRECTORY ${entry} AND EXISTS ${entry}/CMakeLists.txt)
            add_subdirectory(${entry})
        endif()
    endforeach()
endfunction()
