# Shared build rules. Each subsystem folder declares its libraries, programs and tests with
# the functions below, so a folder only lists its own sources.
#
#   kv_add_library(NAME <target> [WINDOWS_ONLY] SOURCES ... [WIN_SOURCES ...] [POSIX_SOURCES ...]
#                  [DEPS ...] [WIN_LIBS ...])
#   kv_add_test(NAME <target> [WINDOWS_ONLY] [THREADED] SOURCES ... [WIN_SOURCES ...]
#               [DEPS ...] [WIN_LIBS ...])
#       one CTest test per executable; THREADED tests also build and run under ThreadSanitizer.
#   kv_test_own_desktop(<test> ... [SERIAL])
#       Windows tests that type, click, take the foreground or use the clipboard and the user's
#       registry: each runs on a virtual display and in a Wine prefix of its own
#       (cmake/wine-run.sh), so they run side by side. SERIAL ones run with no other test
#       beside them, for figures that follow the machine's load.
#   kv_add_program(NAME <target> [GUI] [CONSOLE] SOURCES ... [DEPS ...] [WIN_LIBS ...])
#       a Windows program (only built in the Windows configuration). Programs are Unicode:
#       their entry is wmain (CONSOLE) or wWinMain (GUI), linked with -municode. SHARED with
#       DEF builds a DLL whose exports the .def file names.
#
# WIN_SOURCES are compiled only into the Windows build, POSIX_SOURCES only into the native
# one: a seam's Windows implementation and its portable stand-in sit side by side.

function(kv_setup_toolchain)
  if(KV_WINDOWS)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601
                            WINVER=0x0601)
    add_compile_options(-Wall -Wextra)
    # Every .exe and .dll stands alone: no libgcc, libstdc++ or winpthread DLLs beside it.
    add_link_options(-static -static-libgcc -static-libstdc++)
  else()
    add_compile_options(-Wall -Wextra -fno-omit-frame-pointer)
    if(KV_SANITIZE STREQUAL "address")
      set(KV_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined PARENT_SCOPE)
    elseif(KV_SANITIZE STREQUAL "thread")
      set(KV_SAN_FLAGS -fsanitize=thread PARENT_SCOPE)
    else()
      set(KV_SAN_FLAGS "" PARENT_SCOPE)
    endif()
  endif()
endfunction()

function(kv_setup_test_framework)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  # Debian's googletest package installs the framework's sources; both configurations build
  # them with their own compiler, so the Windows tests link a mingw-w64 build of it.
  set(KV_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "Google Test sources")
  if(NOT EXISTS ${KV_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "Google Test sources not found in ${KV_GTEST_SOURCE_DIR} (apt-get install googletest)")
  endif()
  add_subdirectory(${KV_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -w ${KV_SAN_FLAGS})
    endif()
  endforeach()
endfunction()

function(_kv_apply_sanitizers target)
  if(NOT KV_WINDOWS AND KV_SAN_FLAGS)
    target_compile_options(${target} PRIVATE ${KV_SAN_FLAGS})
    target_link_options(${target} PRIVATE ${KV_SAN_FLAGS})
  endif()
endfunction()

function(kv_add_library)
  cmake_parse_arguments(A "WINDOWS_ONLY" "NAME" "SOURCES;WIN_SOURCES;POSIX_SOURCES;DEPS;WIN_LIBS" ${ARGN})
  if(A_WINDOWS_ONLY AND NOT KV_WINDOWS)
    return()
  endif()
  set(srcs ${A_SOURCES})
  if(KV_WINDOWS)
    list(APPEND srcs ${A_WIN_SOURCES})
  else()
    list(APPEND srcs ${A_POSIX_SOURCES})
  endif()
  if(NOT srcs)
    # A folder whose sources are still to come: dependents link it already.
    add_library(${A_NAME} INTERFACE)
    target_include_directories(${A_NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${A_NAME} INTERFACE ${A_DEPS})
    return()
  endif()
  add_library(${A_NAME} STATIC ${srcs})
  target_include_directories(${A_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  # A library names only libraries of its own layer or below (scripts/check_layers.py).
  target_link_libraries(${A_NAME} PUBLIC ${A_DEPS})
  if(KV_WINDOWS)
    target_link_libraries(${A_NAME} PUBLIC ${A_WIN_LIBS})
  else()
    find_package(Threads REQUIRED)
    target_link_libraries(${A_NAME} PUBLIC Threads::Threads)
  endif()
  _kv_apply_sanitizers(${A_NAME})
endfunction()

function(kv_add_test)
  cmake_parse_arguments(A "WINDOWS_ONLY;THREADED" "NAME" "SOURCES;WIN_SOURCES;POSIX_SOURCES;DEPS;WIN_LIBS" ${ARGN})
  if(A_WINDOWS_ONLY AND NOT KV_WINDOWS)
    return()
  endif()
  # The ThreadSanitizer configuration builds only the tests that exercise threads.
  if(NOT KV_WINDOWS AND KV_SANITIZE STREQUAL "thread" AND NOT A_THREADED)
    return()
  endif()
  set(srcs ${A_SOURCES})
  if(KV_WINDOWS)
    list(APPEND srcs ${A_WIN_SOURCES})
  else()
    list(APPEND srcs ${A_POSIX_SOURCES})
  endif()
  add_executable(${A_NAME} ${srcs})
  target_link_libraries(${A_NAME} PRIVATE ${A_DEPS} gmock gtest_main)
  if(KV_WINDOWS)
    target_link_libraries(${A_NAME} PRIVATE ${A_WIN_LIBS})
  endif()
  _kv_apply_sanitizers(${A_NAME})
  add_test(NAME ${A_NAME} COMMAND ${A_NAME})
  # Each executable leaves its per-case results where the test command sums them up. Under
  # Wine the Unix root is drive Z:.
  if(KV_WINDOWS)
    set(report "Z:${KV_TEST_RESULTS}/${A_NAME}.xml")
  else()
    set(report "${KV_TEST_RESULTS}/${A_NAME}.xml")
  endif()
  set_tests_properties(${A_NAME} PROPERTIES
    ENVIRONMENT "GTEST_OUTPUT=xml:${report}"
    TIMEOUT 300)
  if(A_THREADED)
    set_tests_properties(${A_NAME} PROPERTIES LABELS threaded)
  endif()
endfunction()

function(kv_test_own_desktop)
  cmake_parse_arguments(A "SERIAL" "" "" ${ARGN})
  if(NOT KV_WINDOWS)
    return()
  endif()
  foreach(test ${A_UNPARSED_ARGUMENTS})
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT KV_OWN_DESKTOP=${test})
    if(A_SERIAL)
      set_tests_properties(${test} PROPERTIES RUN_SERIAL TRUE)
    endif()
  endforeach()
endfunction()

function(kv_add_program)
  cmake_parse_arguments(A "GUI;CONSOLE;SHARED" "NAME;OUTPUT_NAME;DEF" "SOURCES;DEPS;WIN_LIBS" ${ARGN})
  if(NOT KV_WINDOWS)
    return()
  endif()
  if(A_SHARED)
    add_library(${A_NAME} SHARED ${A_SOURCES} ${A_DEF})
    set_target_properties(${A_NAME} PROPERTIES PREFIX "")
  else()
    add_executable(${A_NAME} ${A_SOURCES})
    if(A_GUI)
      target_link_options(${A_NAME} PRIVATE -mwindows -municode)
    else()
      target_link_options(${A_NAME} PRIVATE -mconsole -municode)
    endif()
  endif()
  if(A_OUTPUT_NAME)
    set_target_properties(${A_NAME} PROPERTIES OUTPUT_NAME ${A_OUTPUT_NAME})
  endif()
  target_include_directories(${A_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${A_NAME} PRIVATE ${A_DEPS} ${A_WIN_LIBS})
endfunction()
