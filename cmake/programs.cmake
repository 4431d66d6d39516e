# corvana_console_program(<name> SOURCES ... LIBS ...): one of the suite's console programs.
# Large-address-aware so the RAM benchmark's big buffers fit beside everything else in 32 bits.
function(corvana_console_program name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${P_SOURCES})
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  target_link_options(${name} PRIVATE -Wl,--large-address-aware)
endfunction()
