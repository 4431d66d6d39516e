# corvana_console_program(<name> SOURCES ... LIBS ...): one of the suite's console programs.
function(corvana_console_program name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${P_SOURCES})
  target_link_libraries(${name} PRIVATE ${P_LIBS})
endfunction()
