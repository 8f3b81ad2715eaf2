# GoogleTest: Debian's prebuilt libraries natively; for Windows its sources
# from /usr/src/googletest are compiled with the cross compiler.
if(WIN32)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# One test program per subsystem. Natively every test case is its own CTest
# entry; under Wine each program runs once, as starting Wine costs seconds.
# X11_DISPLAY: the program opens X windows; it runs once, inside an Xvfb of
# its own (scripts/with-xvfb.sh). LABELS lets a preset pick programs (the
# tsan preset runs "threads" only).
find_program(THUDWERK_XVFB Xvfb)
function(thudwerk_add_test_program target)
  cmake_parse_arguments(ARG "X11_DISPLAY" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  thudwerk_warnings(${target})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main GTest::gmock)
  if(ARG_X11_DISPLAY AND NOT WIN32)
    if(NOT THUDWERK_XVFB)
      message(FATAL_ERROR "${target} needs Xvfb (the xvfb package)")
    endif()
    add_test(NAME ${target} COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-xvfb.sh
                                    $<TARGET_FILE:${target}>)
    set_tests_properties(${target} PROPERTIES TIMEOUT 300)
  elseif(WIN32)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT 600 LABELS "${ARG_LABELS}")
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
                         LABELS "${ARG_LABELS}")
  endif()
endfunction()
