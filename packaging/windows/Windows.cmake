# Included by packaging/CMakeLists.txt in a Windows build: the executables' resources and install.
find_program(TIDEWAKE_ICOTOOL icotool REQUIRED)  # Debian icoutils
set(ico ${CMAKE_CURRENT_BINARY_DIR}/tidewake.ico)
# The sizes Windows shows (title bar, task bar, Start menu, Explorer), from the same PNGs.
set(ico_pngs)
foreach(size 16 24 32 48 64 256)
  list(APPEND ico_pngs ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/${TIDEWAKE_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${ico}
  COMMAND ${TIDEWAKE_ICOTOOL} -c -o ${ico} ${ico_pngs}
  DEPENDS ${ico_pngs}
  COMMENT "Packing the icon for Windows"
  VERBATIM)
# The executable is made in another folder, whose build cannot see this folder's commands: a
# target here makes the icon before the resources are compiled.
add_custom_target(tidewake_ico DEPENDS ${ico})
add_dependencies(tidewake tidewake_ico)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/windows/tidewake.rc.in ${CMAKE_CURRENT_BINARY_DIR}/tidewake.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/tidewake.rc PROPERTIES OBJECT_DEPENDS ${ico})
target_sources(tidewake PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/tidewake.rc)
set_target_properties(tidewake PROPERTIES WIN32_EXECUTABLE ON)
install(TARGETS tidewake tidewake-history RUNTIME DESTINATION .)
