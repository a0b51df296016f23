# The Windows build (cross-built with mingw-w64, see cmake/toolchains/):
# googletest from the sources Debian ships, built with the cross compiler,
# and the tests run through wine in a prefix made for the run.

# The system libraries platform/win32 calls into.
set(WIZARD_WINDOWS_SYSTEM_LIBRARIES advapi32 shell32)

macro(wizard_windows_googletest)
  set(WIZARD_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "googletest sources")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${WIZARD_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # googletest (which names its targets GTest::gtest and GTest::gtest_main
  # as well) is not ours to keep free of warnings.
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
endmacro()

# The tests run through wine, 64-bit (Debian's 32-bit wine needs
# multiarch), in a prefix of their own that tools/wine-prefix.sh makes at
# the start of each test run and whose server it stops at the end.
find_program(WIZARD_WINE NAMES wine64 PATHS /usr/lib/wine)
find_program(WIZARD_WINESERVER NAMES wineserver PATHS /usr/lib/wine)
set(WIZARD_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
# The COM ports of the tests: a simulator's pseudo-terminal, which it links
# at the port's path here, is the device of COM5 (or COM6) in the prefix.
# Two ports let two halves of the end-to-end tests run side by side.
set(WIZARD_WINE_PORT COM5)
set(WIZARD_WINE_PORT_LINK ${WIZARD_WINE_PREFIX}-com5)
set(WIZARD_WINE_PORT2 COM6)
set(WIZARD_WINE_PORT2_LINK ${WIZARD_WINE_PREFIX}-com6)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WIZARD_WINE})
set(WIZARD_WINE_ENVIRONMENT
    WINEPREFIX=${WIZARD_WINE_PREFIX} WINEDEBUG=-all WINELOADER=${WIZARD_WINE}
    WINESERVER=${WIZARD_WINESERVER})

# wizard_add_wine_test(NAME COMMAND... [TIMEOUT s]): a test in the wine
# prefix of the run (an executable target as COMMAND runs under wine).
function(wizard_add_wine_test name)
  cmake_parse_arguments(W "" "TIMEOUT" "" ${ARGN})
  if(NOT W_TIMEOUT)
    set(W_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${W_UNPARSED_ARGUMENTS})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${W_TIMEOUT}
    FIXTURES_REQUIRED wine
    ENVIRONMENT "${WIZARD_WINE_ENVIRONMENT};WIZARD_BIN_DIR=Z:${WIZARD_BIN_DIR}")
endfunction()

macro(wizard_wine_fixture)
  set(script ${CMAKE_SOURCE_DIR}/tools/wine-prefix.sh)
  add_test(NAME wine.prefix
    COMMAND ${script} start ${WIZARD_WINE_PREFIX} ${WIZARD_WINE_PORT} ${WIZARD_WINE_PORT_LINK}
            ${WIZARD_WINE_PORT2} ${WIZARD_WINE_PORT2_LINK})
  add_test(NAME wine.stop COMMAND ${script} stop ${WIZARD_WINE_PREFIX})
  set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 120
    ENVIRONMENT "${WIZARD_WINE_ENVIRONMENT}")
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60
    ENVIRONMENT "${WIZARD_WINE_ENVIRONMENT}")
endmacro()
