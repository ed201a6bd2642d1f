# Windows side: everything static, so that Install.exe runs alone from the
# distribution medium.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                        _WIN32_WINNT=0x0601 WINVER=0x0601 STRICT)
add_link_options(-static -static-libgcc -static-libstdc++)

find_library(ZLIB_STATIC NAMES libz.a REQUIRED)

# The system libraries every Windows module may use: only DLLs that Windows
# loads from its own directory (KnownDLLs, or comctl32 through the manifest),
# so that no DLL planted beside Install.exe on the medium is ever imported.
add_library(vestar_win_system INTERFACE)
target_link_libraries(vestar_win_system INTERFACE ${ZLIB_STATIC}
    comctl32 ole32 oleaut32 uuid shell32 shlwapi gdi32 user32 advapi32)

# GoogleTest and GoogleMock from Debian's sources, built with this toolchain.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(VESTAR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)

# One CTest test per executable: every Wine process start costs time.
# The test links the libraries it names after LIBS, GoogleMock's main and
# the program's resources (images, strings, manifest).
function(vestar_add_win_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/resources/Install.rc)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gmock_main)
    # Shared test helpers: #include "common/..." and "fixtures/...".
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/win
                                               ${PROJECT_SOURCE_DIR}/tests)
    file(GLOB resource_files ${PROJECT_SOURCE_DIR}/resources/*.*
         ${PROJECT_SOURCE_DIR}/resources/images/*.png)
    set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/Install.rc PROPERTIES
        OBJECT_DEPENDS "${resource_files}")
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-run.sh $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "WINEPREFIX=${VESTAR_WINEPREFIX};VESTAR_INSTALL_EXE=$<TARGET_FILE:Install>;VESTAR_SOURCE_DIR=${PROJECT_SOURCE_DIR};VESTAR_BUILD_DIR=${CMAKE_BINARY_DIR}"
        TIMEOUT 300)
endfunction()
