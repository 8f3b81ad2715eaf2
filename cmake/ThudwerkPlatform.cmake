# thudwerk_platform_source(<var> <name>): sets <var> to the platform file that
# serves <name>: <name>_win.cpp on Windows, <name>_posix.cpp elsewhere.
function(thudwerk_platform_source var name)
  if(WIN32)
    set(${var} ${name}_win.cpp PARENT_SCOPE)
  else()
    set(${var} ${name}_posix.cpp PARENT_SCOPE)
  endif()
endfunction()
