# The layers of src/, lowest first; a layer may include the layers before it
# and never one after it:
#   base     handle holders, the error type, system error texts, paths
#   ui       the window layer
#   shared   the suite's shared units and windows, the dialogs' seam
#   files    the file layer
#   system   font titles and registration, the display font size
#   install  the install run, its steps and progress log, the medium layout
#   app      the main window and the program
#
# One library pair per layer folder:
#   vestar_<sub>_portable  modules without <windows.h> (both builds)
#   vestar_<sub>           Windows modules (Windows build only)
# A library without sources yet becomes an INTERFACE library, so that a
# layer can start empty.
#
# A library's include root is a folder of the build tree holding one link,
# named after the layer, to the layer's source folder: "ui/Form.h" is found
# through <build>/layers/ui/ui. A library sees its own root and, through
# what it links, the roots of the layers below it, so that including a
# higher layer's header fails to compile.
function(vestar_layer_root sub out)
    set(root ${CMAKE_BINARY_DIR}/layers/${sub})
    if(NOT EXISTS ${root}/${sub})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${sub} ${root}/${sub} SYMBOLIC)
    endif()
    set(${out} ${root} PARENT_SCOPE)
endfunction()

function(vestar_portable_library name sub)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    vestar_layer_root(${sub} root)
    if(ARG_SOURCES)
        add_library(${name} STATIC ${ARG_SOURCES})
        target_include_directories(${name} PUBLIC ${root})
        target_link_libraries(${name} PUBLIC vestar_warnings ${ARG_DEPS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${root})
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
endfunction()

function(vestar_win_library name sub)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    if(NOT WIN32)
        return()
    endif()
    vestar_layer_root(${sub} root)
    if(ARG_SOURCES)
        add_library(${name} STATIC ${ARG_SOURCES})
        target_include_directories(${name} PUBLIC ${root})
        target_link_libraries(${name} PUBLIC vestar_warnings vestar_win_system ${ARG_DEPS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${root})
        target_link_libraries(${name} INTERFACE vestar_win_system ${ARG_DEPS})
    endif()
endfunction()

# A layer folder's libraries from its files: src/<sub>/*.cpp are Windows
# modules, src/<sub>/portable/*.cpp the modules without <windows.h>.
function(vestar_subsystem sub)
    cmake_parse_arguments(ARG "" "" "PORTABLE_DEPS;WIN_DEPS" ${ARGN})
    file(GLOB portable_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/portable/*.cpp)
    vestar_portable_library(vestar_${sub}_portable ${sub} SOURCES ${portable_sources}
                            DEPS ${ARG_PORTABLE_DEPS})
    if(WIN32)
        file(GLOB win_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
        list(REMOVE_ITEM win_sources ${CMAKE_CURRENT_SOURCE_DIR}/Install.cpp)
        vestar_win_library(vestar_${sub} ${sub} SOURCES ${win_sources}
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
