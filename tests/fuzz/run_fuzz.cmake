# Builds the INI fuzzer with clang in a build directory of its own and runs
# it for a bounded time over the seed corpus. A missing clang, a failed
# build, and any crash, memory error or hang the fuzzer finds fail the run.
#
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=... [-DGENERATOR=Ninja] [-DSECONDS=30] -P run_fuzz.cmake
#
# WIZARD_FUZZ_SECONDS in the environment overrides SECONDS.
cmake_minimum_required(VERSION 3.20)

if(NOT SECONDS)
  set(SECONDS 30)
endif()
if(DEFINED ENV{WIZARD_FUZZ_SECONDS})
  set(SECONDS $ENV{WIZARD_FUZZ_SECONDS})
endif()
if(NOT GENERATOR)
  set(GENERATOR "Ninja")
endif()

find_program(CLANGXX NAMES clang++ clang++-14)
if(NOT CLANGXX)
  message(FATAL_ERROR "clang++ not found: the fuzzer cannot be built (tools/install-deps.sh installs it)")
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/fuzz/project -B ${BUILD_DIR} -G ${GENERATOR}
          -DCMAKE_CXX_COMPILER=${CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring the fuzzer failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "building the fuzzer failed")
endif()

# New inputs go to a corpus of the build; the seeds stay as they are.
file(MAKE_DIRECTORY ${BUILD_DIR}/corpus ${BUILD_DIR}/artifacts)
execute_process(
  COMMAND ${BUILD_DIR}/ini_fuzzer
          -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048 -max_len=16384
          -dict=${SOURCE_DIR}/tests/fuzz/wizard_inf.dict
          -artifact_prefix=${BUILD_DIR}/artifacts/ -print_final_stats=1
          ${BUILD_DIR}/corpus ${SOURCE_DIR}/tests/fuzz/corpus
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the fuzzer found a failure (exit ${result}); the input is in ${BUILD_DIR}/artifacts/")
endif()
message(STATUS "the fuzzer ran ${SECONDS} s without finding a failure")
