# Build helpers shared by every directory of the suite.
#
#   suite_portable_library(name src...)   portable C++ (no windows.h); natively also built as
#                                         name_san (ASan/UBSan, for unit tests) and name_fuzz
#   suite_portable_link(name dep...)      link portable libraries variant by variant
#   suite_native_test(name SOURCES .. LIBS ..)     GoogleTest, native, sanitized
#   suite_win_test(name SOURCES .. LIBS ..)        GoogleTest, cross-built, run under Wine (win64)
#   suite_benchmark(name SOURCES .. LIBS ..)       Google Benchmark, native, optimised
#   suite_fuzzer(name SOURCES .. LIBS ..)          libFuzzer target (clang only) + smoke test
#   suite_check_exports(target expected_file)      export table check with objdump
#   suite_check_imports(target dll expected_file)  import table check with objdump
#   suite_check_layering()                         include check of the editor's imaging code

set(SUITE_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

function(suite_portable_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(SUITE_NATIVE)
    # Natively the plain variant serves only the benchmarks.
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL TRUE)
    add_library(${name}_san STATIC ${ARGN})
    target_include_directories(${name}_san PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${name}_san PRIVATE ${SUITE_SAN_FLAGS})
    target_link_options(${name}_san INTERFACE ${SUITE_SAN_FLAGS})
    if(SUITE_FUZZ)
      add_library(${name}_fuzz STATIC ${ARGN})
      target_include_directories(${name}_fuzz PUBLIC ${PROJECT_SOURCE_DIR})
      target_compile_options(${name}_fuzz PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
    endif()
  endif()
endfunction()

function(suite_portable_link name)
  target_link_libraries(${name} PUBLIC ${ARGN})
  if(SUITE_NATIVE)
    foreach(dep IN LISTS ARGN)
      target_link_libraries(${name}_san PUBLIC ${dep}_san)
      if(SUITE_FUZZ)
        target_link_libraries(${name}_fuzz PUBLIC ${dep}_fuzz)
      endif()
    endforeach()
  endif()
endfunction()

function(suite_native_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  foreach(lib IN LISTS T_LIBS)
    target_link_libraries(${name} PRIVATE ${lib}_san)
  endforeach()
  target_link_libraries(${name} PRIVATE GTest::gtest_main)
  target_compile_options(${name} PRIVATE ${SUITE_SAN_FLAGS})
  target_link_options(${name} PRIVATE ${SUITE_SAN_FLAGS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS native TIMEOUT 300)
endfunction()

# One Wine process per test program: the cases of a program run in one start. Programs share
# one display, whose pointer, focus and foreground window any of them may move: they run one at
# a time unless CONCURRENT says the program leaves the desktop alone.
function(suite_win_test name)
  cmake_parse_arguments(T "CONCURRENT" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} wintest_support GTest::gtest)
  if(SUITE_RUNS_WINDOWS_TESTS)
    if(NOT T_TIMEOUT)
      set(T_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT ${T_TIMEOUT}
      WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    if(NOT T_CONCURRENT)
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop_pointer)
    endif()
  endif()
endfunction()

function(suite_benchmark name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TARGET benchmark::benchmark)
    return()
  endif()
  # Built by scripts/bench (target "benchmarks"), not by every build.
  add_executable(${name} EXCLUDE_FROM_ALL ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} benchmark::benchmark)
  set_property(GLOBAL APPEND PROPERTY SUITE_BENCHMARKS ${name})
endfunction()

function(suite_fuzzer name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT SUITE_FUZZ)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  foreach(lib IN LISTS T_LIBS)
    target_link_libraries(${name} PRIVATE ${lib}_fuzz)
  endforeach()
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  # Smoke run in the test suite; long runs: scripts/fuzz.
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  # New inputs go to the first directory named: a scratch one, so the seeds in the tree stay as
  # they are.
  set(scratch ${CMAKE_CURRENT_BINARY_DIR}/${name}_smoke_corpus)
  file(MAKE_DIRECTORY ${scratch})
  add_test(NAME ${name}_smoke COMMAND ${name} -runs=20000 -seed=1 ${scratch} ${corpus})
  set_tests_properties(${name}_smoke PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

function(suite_check_exports target expected)
  add_test(NAME exports_${target}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-exports ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}> ${expected})
  set_tests_properties(exports_${target} PROPERTIES LABELS binary)
endfunction()

function(suite_check_imports target dll expected)
  add_test(NAME imports_${target}_${dll}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-imports ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}> ${dll} ${expected})
  set_tests_properties(imports_${target}_${dll} PROPERTIES LABELS binary)
endfunction()

# suite_check_dlls(target dll...): the DLLs the target may import from, and no others.
function(suite_check_dlls target)
  add_test(NAME dlls_${target}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-dlls ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}> ${ARGN})
  set_tests_properties(dlls_${target} PROPERTIES LABELS binary)
endfunction()

# suite_version_resource(name description file filetype manifest): sets SUITE_RC_<name> to a
# generated .rc with the version block (and the manifest, when given).
function(suite_version_resource name description file filetype manifest)
  set(SUITE_RC_NAME ${name})
  set(SUITE_RC_DESCRIPTION ${description})
  set(SUITE_RC_FILE ${file})
  set(SUITE_RC_FILETYPE ${filetype})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  if(manifest)
    file(APPEND ${rc} "\n1 24 \"${manifest}\"\n")
  endif()
  set(SUITE_RC_${name} ${rc} PARENT_SCOPE)
endfunction()

# suite_check_layering(): the editor's imaging code includes nothing above it.
function(suite_check_layering)
  add_test(NAME layering_retouch_imaging COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-layering ${PROJECT_SOURCE_DIR})
  set_tests_properties(layering_retouch_imaging PROPERTIES LABELS source)
endfunction()
