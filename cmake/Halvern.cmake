# Target helpers used by every module: programs and libraries with a version resource,
# type libraries from IDL, embedded TYPELIB and REGISTRY resources, tests and benchmarks.

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_C_STANDARD 11)

# Line tables and function names are what a backtrace under Wine needs; full debug information
# would make every build a third slower.
set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O2 -g1 -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O2 -g1 -DNDEBUG")

# Every binary lands in one folder so that programs and tests find the DLLs they load.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

# windres takes the C preprocessor's -D and -I, nothing else of the compile flags.
set(CMAKE_RC_FLAGS "-O coff")
set(CMAKE_RC_COMPILE_OBJECT
    "<CMAKE_RC_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -i <SOURCE> -o <OBJECT>")

set(HALVERN_VERSION_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/version.rc.in)
set(HALVERN_INPROC_EXPORTS ${CMAKE_CURRENT_LIST_DIR}/../comsupport/inproc_exports.cpp)

# Everything the tests run is built before them; benchmarks only for tools/bench.
add_custom_target(halvern_tests)
add_custom_target(halvern_benchmarks)

# The Wine IDL folder (oaidl.idl, ocidl.idl...) and the folder holding stdole2.tlb.
find_path(HALVERN_WINE_IDL_DIR oaidl.idl
  PATHS /usr/include/wine/wine/windows /usr/include/wine/windows
  NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(HALVERN_STDOLE_DIR stdole2.tlb
  PATHS /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/wine/i386-windows
  NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_program(HALVERN_WIDL_PROGRAM ${HALVERN_WIDL} REQUIRED)

# Warnings and platform definitions for our own code (not for third-party code such as gtest).
function(halvern_code_defaults target)
  target_compile_definitions(${target} PRIVATE
    _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0700 STRICT NOMINMAX)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Werror -Wno-unknown-pragmas)
  # Each binary imports only system DLLs: the C++ runtime and winpthreads go in statically.
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()

# Code that only tests run needs no debug information, and test programs no optimisation:
# they build in half the time. Stand-ins stay optimised, as they stand in for real peers.
function(halvern_test_code target)
  target_compile_options(${target} PRIVATE -O0 -g0)
endfunction()

# For a folder of test support (every target made after it in the folder).
macro(halvern_test_folder)
  add_compile_options(-O0 -g0)
endmacro()

# For a folder of stand-ins.
macro(halvern_peer_folder)
  add_compile_options(-g0)
endmacro()

# Adds a VERSIONINFO resource to target.
function(halvern_version_resource target description original_filename)
  set(HALVERN_FILE_DESCRIPTION "${description}")
  set(HALVERN_ORIGINAL_FILENAME "${original_filename}")
  set(HALVERN_FILE_VERSION_COMMAS
      "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  set(HALVERN_FILE_VERSION_TEXT "${PROJECT_VERSION}")
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(HALVERN_FILE_TYPE "VFT_APP")
  else()
    set(HALVERN_FILE_TYPE "VFT_DLL")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${HALVERN_VERSION_TEMPLATE} ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# halvern_program(name [WINDOWS] [CONSOLE] DESCRIPTION text SOURCES ... [LIBS ...])
# halvern_library(name [SHARED|STATIC] DESCRIPTION text SOURCES ... [DEF file] [LIBS ...]
#                 [OUTPUT_NAME name] [SUFFIX .ocx])
function(halvern_program name)
  cmake_parse_arguments(ARG "WINDOWS;CONSOLE" "DESCRIPTION;OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
  if(ARG_WINDOWS)
    add_executable(${name} WIN32 ${ARG_SOURCES})
  else()
    add_executable(${name} ${ARG_SOURCES})
  endif()
  if(ARG_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  else()
    set(ARG_OUTPUT_NAME ${name})
  endif()
  halvern_code_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  halvern_version_resource(${name} "${ARG_DESCRIPTION}" "${ARG_OUTPUT_NAME}.exe")
  # Tests start the programs they prove.
  add_dependencies(halvern_tests ${name})
endfunction()

function(halvern_library name)
  cmake_parse_arguments(ARG "SHARED;STATIC" "DESCRIPTION;DEF;OUTPUT_NAME;SUFFIX"
                        "SOURCES;LIBS" ${ARGN})
  if(ARG_STATIC)
    add_library(${name} STATIC ${ARG_SOURCES})
    halvern_code_defaults(${name})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    return()
  endif()
  add_library(${name} SHARED ${ARG_SOURCES})
  # DLLs carry no "lib" prefix on Windows.
  set_target_properties(${name} PROPERTIES PREFIX "")
  if(ARG_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  else()
    set(ARG_OUTPUT_NAME ${name})
  endif()
  if(NOT ARG_SUFFIX)
    set(ARG_SUFFIX ".dll")
  endif()
  set_target_properties(${name} PROPERTIES SUFFIX ${ARG_SUFFIX})
  if(ARG_DEF)
    # The .def fixes the exported names (no stdcall decoration).
    target_sources(${name} PRIVATE ${ARG_DEF})
    target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup)
  endif()
  halvern_code_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  halvern_version_resource(${name} "${ARG_DESCRIPTION}" "${ARG_OUTPUT_NAME}${ARG_SUFFIX}")
  add_dependencies(halvern_tests ${name})
endfunction()

# halvern_idl(target file.idl [TLB_NAME name] [IMPORTS idl_target ...])
# Compiles an IDL file into a type library, a C/C++ header and GUID definitions. The target
# is a static library of the GUIDs whose include folder holds the header; its property
# HALVERN_TLB names the type library file.
function(halvern_idl target idl)
  cmake_parse_arguments(ARG "" "TLB_NAME" "IMPORTS" ${ARGN})
  get_filename_component(stem ${idl} NAME_WE)
  get_filename_component(idl_path ${idl} ABSOLUTE)
  if(NOT ARG_TLB_NAME)
    set(ARG_TLB_NAME ${stem})
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/idl)
  set(header ${out}/${stem}.h)
  set(guids ${out}/${stem}_i.c)
  set(tlb ${out}/${ARG_TLB_NAME}.tlb)
  set(search -I ${HALVERN_WINE_IDL_DIR} -L ${HALVERN_STDOLE_DIR}
             -I ${CMAKE_CURRENT_SOURCE_DIR})
  set(depends ${idl_path})
  foreach(imported IN LISTS ARG_IMPORTS)
    get_target_property(imported_tlb ${imported} HALVERN_TLB)
    get_target_property(imported_idl ${imported} HALVERN_IDL)
    get_filename_component(imported_tlb_dir ${imported_tlb} DIRECTORY)
    get_filename_component(imported_idl_dir ${imported_idl} DIRECTORY)
    list(APPEND search -I ${imported_idl_dir} -L ${imported_tlb_dir})
    list(APPEND depends ${imported_tlb} ${imported_idl})
  endforeach()
  add_custom_command(
    OUTPUT ${header} ${guids} ${tlb}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${HALVERN_WIDL_PROGRAM} --win32 ${search}
            -h -H ${header} -u -U ${guids} -t -T ${tlb} ${idl_path}
    DEPENDS ${depends}
    COMMENT "widl ${idl}"
    VERBATIM)
  add_library(${target} STATIC ${guids} ${header})
  target_include_directories(${target} PUBLIC ${out})
  target_link_libraries(${target} PUBLIC ole32 oleaut32 uuid)
  set_target_properties(${target} PROPERTIES HALVERN_TLB ${tlb} HALVERN_IDL ${idl_path})
  add_custom_target(${target}_generated DEPENDS ${header} ${guids} ${tlb})
  add_dependencies(${target} ${target}_generated)
endfunction()

# Embeds the type library of idl_target as resource TYPELIB 1 (US English), or TYPELIB id.
function(halvern_embed_typelib target idl_target)
  cmake_parse_arguments(ARG "" "ID" "" ${ARGN})
  if(NOT ARG_ID)
    set(ARG_ID 1)
  endif()
  get_target_property(tlb ${idl_target} HALVERN_TLB)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_typelib_${ARG_ID}.rc)
  file(GENERATE OUTPUT ${rc} CONTENT "LANGUAGE 9, 1\n${ARG_ID} TYPELIB \"${tlb}\"\n")
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${tlb})
  add_dependencies(${target} ${idl_target}_generated)
endfunction()

# Embeds a registrar script as resource "REGISTRY" with the given id (101 unless told).
function(halvern_embed_registry target rgs)
  cmake_parse_arguments(ARG "" "ID" "" ${ARGN})
  if(NOT ARG_ID)
    set(ARG_ID 101)
  endif()
  get_filename_component(rgs_path ${rgs} ABSOLUTE)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_registry_${ARG_ID}.rc)
  file(GENERATE OUTPUT ${rc} CONTENT "LANGUAGE 9, 1\n${ARG_ID} REGISTRY \"${rgs_path}\"\n")
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${rgs_path})
endfunction()

# halvern_com_server(NAME DESCRIPTION text SOURCES ... [IDL file [IDL_IMPORTS idl_target ...]]
#                    [RGS file] [DEF file] [SUFFIX .dll|.ocx] [OUTPUT_NAME name] [LIBS ...]
#                    [EXPORTS source])
# An in-process COM server in one call: the IDL's type library (target NAME_idl, whose header
# the module includes) embedded as TYPELIB 1, the registry script as REGISTRY 101, the four
# server exports (from comsupport's inproc_exports.cpp; a DEF is generated unless the module
# exports more), a VERSIONINFO, and the module built before any test runs. The module defines
# comsupport::ThisServer(). EXPORTS: a source of its own for the four exports.
function(halvern_com_server name)
  cmake_parse_arguments(ARG "" "DESCRIPTION;IDL;RGS;DEF;SUFFIX;OUTPUT_NAME;EXPORTS" "SOURCES;LIBS;IDL_IMPORTS" ${ARGN})
  if(NOT ARG_EXPORTS)
    set(ARG_EXPORTS ${HALVERN_INPROC_EXPORTS})
  endif()
  if(NOT ARG_SUFFIX)
    set(ARG_SUFFIX ".dll")
  endif()
  if(NOT ARG_OUTPUT_NAME)
    set(ARG_OUTPUT_NAME ${name})
  endif()
  if(ARG_IDL)
    halvern_idl(${name}_idl ${ARG_IDL} TLB_NAME ${ARG_OUTPUT_NAME} IMPORTS ${ARG_IDL_IMPORTS})
    if(ARG_IDL_IMPORTS)
      target_link_libraries(${name}_idl PUBLIC ${ARG_IDL_IMPORTS})
    endif()
    list(APPEND ARG_LIBS ${name}_idl)
  endif()
  if(NOT ARG_DEF)
    set(ARG_DEF ${CMAKE_CURRENT_BINARY_DIR}/${name}_exports.def)
    file(GENERATE OUTPUT ${ARG_DEF} CONTENT "LIBRARY \"${ARG_OUTPUT_NAME}${ARG_SUFFIX}\"
EXPORTS
  DllGetClassObject PRIVATE
  DllCanUnloadNow PRIVATE
  DllRegisterServer PRIVATE
  DllUnregisterServer PRIVATE
")
  endif()
  halvern_library(${name} SHARED
    DESCRIPTION "${ARG_DESCRIPTION}"
    SOURCES ${ARG_SOURCES} ${ARG_EXPORTS}
    DEF ${ARG_DEF}
    SUFFIX ${ARG_SUFFIX}
    OUTPUT_NAME ${ARG_OUTPUT_NAME}
    LIBS comsupport ${ARG_LIBS})
  if(ARG_IDL)
    halvern_embed_typelib(${name} ${name}_idl)
  endif()
  if(ARG_RGS)
    halvern_embed_registry(${name} ${ARG_RGS})
  endif()
endfunction()

# halvern_test(module.name SOURCES ... [LIBS ...] [NEEDS target ...] [TIMEOUT seconds] [SERIAL]
#              [OWN_SESSION])
# A GoogleTest executable run under Wine in the run's shared prefix, or with OWN_SESSION in a
# prefix of its own (for a test that leaves its prefix unfit for others). NEEDS: the programs
# and modules the test starts or loads at run time, built with it.
function(halvern_test name)
  cmake_parse_arguments(ARG "SERIAL;OWN_SESSION" "TIMEOUT" "SOURCES;LIBS;NEEDS" ${ARGN})
  string(REPLACE "." "_" exe "test_${name}")
  add_executable(${exe} ${ARG_SOURCES})
  halvern_code_defaults(${exe})
  halvern_test_code(${exe})
  target_link_libraries(${exe} PRIVATE halvern_test_main halvern_testing GTest::gmock ${ARG_LIBS})
  if(ARG_NEEDS)
    add_dependencies(${exe} ${ARG_NEEDS})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 900)
  endif()
  if(ARG_OWN_SESSION)
    add_test(NAME ${name} COMMAND ${HALVERN_SESSION_SCRIPT} isolated ${CMAKE_BINARY_DIR}/wine/${name}-session
                                  wine $<TARGET_FILE:${exe}> --gtest_color=no)
  else()
    add_test(NAME ${name} COMMAND ${exe} --gtest_color=no)
  endif()
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine_session
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "HALVERN_BIN=${HALVERN_BIN_DOS}")
  if(ARG_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
  add_dependencies(halvern_tests ${exe})
endfunction()

# halvern_test_library(name SOURCES ... [LIBS ...]): test support built once for the test
# programs of a module.
function(halvern_test_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  halvern_library(${name} STATIC SOURCES ${ARG_SOURCES} LIBS ${ARG_LIBS} halvern_testing GTest::gmock)
  halvern_test_code(${name})
endfunction()

# halvern_bench(name SOURCES ... [LIBS ...]): a benchmark program run by tools/bench,
# never by CTest. It prints "bench NAME VALUE UNIT" lines.
function(halvern_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(bench_${name} ${ARG_SOURCES})
  halvern_code_defaults(bench_${name})
  target_link_libraries(bench_${name} PRIVATE ${ARG_LIBS})
  add_dependencies(halvern_benchmarks bench_${name})
  set_property(GLOBAL APPEND PROPERTY HALVERN_BENCHMARKS ${name})
endfunction()

