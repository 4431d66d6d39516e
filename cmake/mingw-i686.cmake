# The release flavor: the suite as 32-bit Windows programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CORVANA_MINGW_TRIPLE i686-w64-mingw32)
# Large-address-aware, so the RAM benchmark's big buffers fit beside everything else in 32 bits.
set(CORVANA_FLAVOR_LINK_FLAGS "-Wl,--large-address-aware")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
