# The same sources as 64-bit Windows programs, for hosts whose kernel cannot run Wine's 32-bit
# loader; the release stays the 32-bit flavor.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CORVANA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CORVANA_FLAVOR_LINK_FLAGS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
