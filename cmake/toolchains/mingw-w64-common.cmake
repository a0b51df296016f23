# What both mingw-w64 toolchain files share; WIZARD_MINGW_PREFIX names the
# compiler triplet.
set(CMAKE_C_COMPILER ${WIZARD_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WIZARD_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${WIZARD_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${WIZARD_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The deliverables run on a bare Windows: the C and C++ runtimes and the
# thread library are linked in, nothing beyond the system's own DLLs is
# needed.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
