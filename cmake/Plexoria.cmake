# Helpers shared by every folder's CMakeLists.txt.

# Our own code builds warning-free; third-party code (GoogleTest) does not get these.
function(plexoria_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Werror)
  # GCC 12 reports false -Wrestrict overlaps inside std::string concatenation
  # when optimising (its bug 105329); the warning says nothing about our code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# plexoria_library(name [CORE] SOURCES ... [LIBS ...])
# CORE libraries are platform-neutral: they are built in both the native and the
# Windows build. Others are built for Windows only.
function(plexoria_library name)
  cmake_parse_arguments(ARG "CORE" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_CORE AND NOT WIN32)
    return()
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  plexoria_warnings(${name})
endfunction()

# plexoria_test(name [NATIVE|WINDOWS] SOURCES ... [LIBS ...] [TIMEOUT seconds])
# NATIVE tests run in the native (sanitized) build, WINDOWS tests in the
# Windows build under Wine. Each test executable is one CTest test.
function(plexoria_test name)
  cmake_parse_arguments(ARG "NATIVE;WINDOWS" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(ARG_NATIVE AND WIN32)
    return()
  endif()
  if(ARG_WINDOWS AND NOT WIN32)
    return()
  endif()
  if(NOT PLEXORIA_TESTS)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  plexoria_warnings(${name})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "PLEXORIA_SOURCE_DIR=${PROJECT_SOURCE_DIR};PLEXORIA_BINARY_DIR=${PROJECT_BINARY_DIR}")
  if(WIN32)
    # The temporary folder is compared before and after (tests/CMakeLists.txt).
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED temp_folder)
  endif()
  if(ARG_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  endif()
endfunction()

# plexoria_fuzzer(name SOURCES ... [LIBS ...] CORPUS dir)
# libFuzzer targets exist only in the clang fuzz build (PLEXORIA_FUZZ).
function(plexoria_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT PLEXORIA_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  plexoria_warnings(${name})
  if(ARG_CORPUS)
    # Regression run: every seed once, no mutation.
    add_test(NAME ${name}_corpus COMMAND ${name} -runs=0 ${ARG_CORPUS})
  endif()
endfunction()

# plexoria_bench(name SOURCES ... [LIBS ...]): benchmarks, never run as tests.
function(plexoria_bench name)
  cmake_parse_arguments(ARG "NATIVE;WINDOWS" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_NATIVE AND WIN32)
    return()
  endif()
  if(ARG_WINDOWS AND NOT WIN32)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  plexoria_warnings(${name})
endfunction()
