# What both Windows flavors share: MinGW-w64 with the posix threads model, static programs, and
# Wine through the project's runner as the emulator of tests and programs.
# Expects CORVANA_MINGW_TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32) and CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${CORVANA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVANA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVANA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CORVANA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every program is self-contained: no MinGW runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ ${CORVANA_FLAVOR_LINK_FLAGS}")

# Tests and programs run under Wine through the project's own prefix; the runner picks the
# loader that matches each program's bitness.
get_filename_component(_corvana_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_corvana_root}/scripts/wine-run")
