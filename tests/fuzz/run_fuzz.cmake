# Builds the fuzz targets with clang, and runs them for a bounded time over
# their seeds and regression inputs. A missing clang, a failed build, and
# any crash, memory error, broken promise or hang a target finds fail the
# run; the input is then in BUILD_DIR/artifacts/.
#
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DACTION=build
#         [-DGENERATOR=Ninja] [-DLAUNCHER=ccache] [-DJOBS=2] -P run_fuzz.cmake
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DACTION=run -DTARGET=NAME|all
#         [-DSECONDS=10] [-DFRESH=ON] -P run_fuzz.cmake
#
# The build is the whole project configured with clang and WIZARD_FUZZ, of
# which only the fuzz targets and what they link are built. A run adds the
# inputs it finds to BUILD_DIR/corpora/NAME (FRESH starts that from the
# seeds again, so that a short run does the same work every time).
# WIZARD_FUZZ_SECONDS in the environment overrides SECONDS.
cmake_minimum_required(VERSION 3.20)

include(${SOURCE_DIR}/tests/fuzz/fuzz_targets.cmake)

if(NOT SECONDS)
  set(SECONDS 10)
endif()
if(DEFINED ENV{WIZARD_FUZZ_SECONDS})
  set(SECONDS $ENV{WIZARD_FUZZ_SECONDS})
endif()
if(NOT GENERATOR)
  set(GENERATOR "Ninja")
endif()
if(NOT JOBS)
  set(JOBS 2)
endif()

if(ACTION STREQUAL "build")
  find_program(CLANGXX NAMES clang++ clang++-14)
  find_program(CLANG NAMES clang clang-14)
  if(NOT CLANGXX OR NOT CLANG)
    message(FATAL_ERROR "clang not found: the fuzz targets cannot be built (tools/install-deps.sh installs it)")
  endif()
  # The launcher by its full path, however it was named, so that the test
  # and make fuzz configure the build alike and do not rebuild it.
  if(LAUNCHER)
    find_program(launcher NAMES ${LAUNCHER})
  else()
    find_program(launcher ccache)
  endif()
  set(launch)
  if(launcher)
    set(launch -DCMAKE_CXX_COMPILER_LAUNCHER=${launcher} -DCMAKE_C_COMPILER_LAUNCHER=${launcher})
  endif()
  # -O1 and line tables only: quick to build, still fast to run, and every
  # report names file and line.
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -G ${GENERATOR}
            -DCMAKE_CXX_COMPILER=${CLANGXX} -DCMAKE_C_COMPILER=${CLANG}
            -DCMAKE_BUILD_TYPE=RelWithDebInfo
            "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only"
            "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only"
            -DWIZARD_FUZZ=ON -DWIZARD_BUILD_TESTS=OFF -DWIZARD_BUILD_GUI=OFF ${launch}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "configuring the fuzz build failed")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target fuzzers --parallel ${JOBS}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "building the fuzz targets failed")
  endif()
  return()
endif()

if(NOT ACTION STREQUAL "run")
  message(FATAL_ERROR "ACTION must be build or run")
endif()

# Runs one target; sets failed to a text when it found something.
function(run_target name)
  set(failed "" PARENT_SCOPE)
  set(fuzzer ${BUILD_DIR}/fuzzers/${name}_fuzzer)
  if(NOT EXISTS ${fuzzer})
    set(failed "${name}: ${fuzzer} is not built" PARENT_SCOPE)
    return()
  endif()
  set(corpus ${BUILD_DIR}/corpora/${name})
  if(FRESH)
    file(REMOVE_RECURSE ${corpus})
  endif()
  file(MAKE_DIRECTORY ${corpus} ${BUILD_DIR}/artifacts ${BUILD_DIR}/logs)
  # New inputs go to the first directory: the build's, never the seeds.
  set(inputs ${corpus} ${SOURCE_DIR}/tests/fuzz/corpus/${name})
  if(IS_DIRECTORY ${SOURCE_DIR}/tests/fuzz/regressions/${name})
    list(APPEND inputs ${SOURCE_DIR}/tests/fuzz/regressions/${name})
  endif()
  set(options -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
              -artifact_prefix=${BUILD_DIR}/artifacts/${name}-)
  if(WIZARD_FUZZ_MAX_LEN_${name})
    list(APPEND options -max_len=${WIZARD_FUZZ_MAX_LEN_${name}})
  endif()
  if(EXISTS ${SOURCE_DIR}/tests/fuzz/dictionaries/${name}.dict)
    list(APPEND options -dict=${SOURCE_DIR}/tests/fuzz/dictionaries/${name}.dict)
  endif()
  set(log ${BUILD_DIR}/logs/${name}.log)
  execute_process(COMMAND ${fuzzer} ${options} ${inputs}
                  RESULT_VARIABLE result OUTPUT_FILE ${log} ERROR_FILE ${log})
  file(READ ${log} text)
  string(REGEX MATCHALL "cov: [0-9]+" coverage "${text}")
  if(coverage)
    list(GET coverage -1 coverage)
  endif()
  string(REGEX MATCH "stat::number_of_executed_units: [0-9]+" runs "${text}")
  string(REGEX REPLACE ".* " "" runs "${runs}")
  if(NOT result EQUAL 0)
    string(LENGTH "${text}" length)
    if(length GREATER 6000)
      math(EXPR from "${length} - 6000")
      string(SUBSTRING "${text}" ${from} -1 text)
    endif()
    set(failed "${name} found a failure (exit ${result}), the input is in ${BUILD_DIR}/artifacts/:\n${text}" PARENT_SCOPE)
    return()
  endif()
  message(STATUS "fuzz ${name}: ${SECONDS} s, ${runs} runs, ${coverage}")
endfunction()

if("${TARGET}" STREQUAL "all")
  set(names ${WIZARD_FUZZ_TARGETS})
else()
  set(names ${TARGET})
endif()
set(failures)
foreach(name ${names})
  run_target(${name})
  if(failed)
    message(SEND_ERROR "${failed}")
    list(APPEND failures ${name})
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "fuzz targets that found a failure: ${failures}")
endif()
