# corvana_console_program(<name> SOURCES ... LIBS ...): one of the suite's console programs.
function(corvana_console_program name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${P_SOURCES})
  target_link_libraries(${name} PRIVATE ${P_LIBS})
endfunction()

# corvana_gui_program(<name> SOURCES ... LIBS ...): one of the suite's Windows GUI programs, entered
# through wWinMain.
function(corvana_gui_program name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${P_SOURCES})
  target_compile_options(${name} PRIVATE -municode)
  target_link_options(${name} PRIVATE -mwindows -municode)
  target_link_libraries(${name} PRIVATE ${P_LIBS})
endfunction()
