# Shared settings of the two mingw-w64 cross toolchains. KORVEL_MINGW_TRIPLET is
# set by the including toolchain file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${KORVEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${KORVEL_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KORVEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One self-contained exe: no libgcc, libstdc++ or winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
