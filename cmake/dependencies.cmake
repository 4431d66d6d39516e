# Header-only libraries reach the cross compiler through a folder that holds only links to them,
# so nothing else of the host's /usr/include can leak into a Windows build.
set(CORVANA_HEADER_LINKS ${CMAKE_BINARY_DIR}/header-links)
file(MAKE_DIRECTORY ${CORVANA_HEADER_LINKS})
foreach(lib boost nlohmann)
  if(NOT EXISTS /usr/include/${lib})
    message(FATAL_ERROR "/usr/include/${lib} is missing: run scripts/setup")
  endif()
  file(CREATE_LINK /usr/include/${lib} ${CORVANA_HEADER_LINKS}/${lib} SYMBOLIC)
endforeach()

add_library(corvana_header_libs INTERFACE)
target_include_directories(corvana_header_libs SYSTEM INTERFACE ${CORVANA_HEADER_LINKS})
# Boost would otherwise pull in its own thread layer for the property tree's ptree_error.
# The property tree's JSON parser still includes the old bind header, which otherwise prints a
# deprecation note in every file that includes the parser.
target_compile_definitions(corvana_header_libs INTERFACE BOOST_ALL_NO_LIB BOOST_BIND_GLOBAL_PLACEHOLDERS)

# zlib of libz-mingw-w64-dev
find_library(CORVANA_ZLIB NAMES libz.a z REQUIRED)
add_library(corvana_zlib INTERFACE)
target_link_libraries(corvana_zlib INTERFACE ${CORVANA_ZLIB})
