# Included from the root CMakeLists.txt after project() and before any target. With ORVANE_FUZZ every
# library a fuzz target links must carry the same sanitizers, and coverage instrumentation for the
# fuzzer to steer by, so the options go on the whole build. Undefined behaviour aborts rather than
# printing and going on, or the fuzzer would never report it.
option(ORVANE_FUZZ "Build the libFuzzer targets in fuzz/ (clang only) instead of replaying their corpora" OFF)
if(ORVANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ORVANE_FUZZ needs clang (found ${CMAKE_CXX_COMPILER_ID}); configure with CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  set(ORVANE_FUZZ_OPTIONS_APPLIED TRUE)
endif()
