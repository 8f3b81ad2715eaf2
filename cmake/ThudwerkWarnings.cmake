# Warnings are errors in the project's own targets only; third-party code
# (googletest, the VST 3 SDK, libpng) keeps its own flags.
function(thudwerk_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wshadow
                                           -Wno-unused-parameter)
endfunction()

# Windows binaries carry their C and C++ runtimes so Wine and users need no
# extra DLLs beside them.
if(WIN32)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
