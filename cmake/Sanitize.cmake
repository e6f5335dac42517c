# Included from the root CMakeLists.txt after project() and before any target. With ORVANE_SANITIZE
# everything is built with AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer, and
# undefined behaviour ends the program, so that a test meeting it fails. scripts/build.sh --sanitize
# builds so into build-asan.
option(ORVANE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(ORVANE_SANITIZE)
  if(ORVANE_FUZZ)
    message(FATAL_ERROR "ORVANE_SANITIZE and ORVANE_FUZZ are separate builds; the fuzz build has sanitizers of its own")
  endif()
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  # The sanitizers' options are built into every program, so that a test run by hand, a program
  # started by a test and a child process behave as under ctest.
  add_library(orvane_sanitizer_options OBJECT ${CMAKE_CURRENT_LIST_DIR}/SanitizerOptions.cpp)
  target_compile_definitions(orvane_sanitizer_options PRIVATE
      ORVANE_LSAN_SUPPRESSIONS="${CMAKE_CURRENT_LIST_DIR}/lsan-suppressions.txt")
  link_libraries(orvane_sanitizer_options)
endif()
