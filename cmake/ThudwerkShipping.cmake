# thudwerk_ship_without_debug_info(<target>)
# After every link the plug-in file carries no debug information, so what
# the installer, the zip and scripts/install.sh ship is the release build
# without it. The debug information goes to symbols/<target>.debug in the
# build folder, and the file names it (.gnu_debuglink) for debuggers.
function(thudwerk_ship_without_debug_info target)
  if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "objcopy is needed to strip ${target} for shipping")
  endif()
  set(symbols ${CMAKE_BINARY_DIR}/symbols/${target}.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/symbols
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${symbols}
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=${symbols}
            $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
