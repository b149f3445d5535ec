# Cross build for 32-bit Windows: the stub, the sample engine, the packager's
# Windows edition and the tests that run under Wine.
set(KESTRO_ZLIB_STATIC ${CMAKE_FIND_ROOT_PATH}/lib/libz.a)
target_link_libraries(kcore PUBLIC ${KESTRO_ZLIB_STATIC})
# zstd has no MinGW build in the distribution: the packager and the tests of
# this tree compress with zstd's own sources (the stub links the decoder alone).
include(${PROJECT_SOURCE_DIR}/cmake/stub-zstd.cmake)
kestro_zstd_encoder(kzstd)
target_compile_options(kzstd PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O2>)
target_link_libraries(kcore PUBLIC kzstd)
target_compile_definitions(kcore PUBLIC WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600)

# Everything static: no MinGW runtime DLLs beside the exes.
set(KESTRO_STATIC_LINK -static -static-libgcc -static-libstdc++)

# The stub travels inside every setup file: its code is built for size, each
# function and datum in a section of its own that the linker drops when the
# stub never uses it, without the compiler's name in every object. No
# parameter rewriting across functions either (-fno-ipa-sra): it gives every
# object its own private copy of the string library's functions it calls,
# where the linker could otherwise keep one (11 KB of the stub).
set(KESTRO_SMALL $<$<NOT:$<CONFIG:Debug>>:-Os -ffunction-sections -fdata-sections -fno-ident -fno-ipa-sra>)
# Everything the stub links is built without exceptions: errors travel as
# return values, and what the C++ library would throw ends the process
# (src/stub/library_failures.cpp). The 32-bit runtime unwinds with tables of
# its own (.eh_frame), which such code does not need; the 64-bit one with the
# system's tables, which Windows uses to walk any stack, so those stay.
# Nothing asks a type its name at run time either: without type information
# every class and every function object sheds its descriptor and the names
# in it (4.5 KB of the stub).
set(KESTRO_NO_UNWIND_TABLES)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
  set(KESTRO_NO_UNWIND_TABLES -fno-asynchronous-unwind-tables)
endif()
set(KESTRO_LEAN_CXX -fno-exceptions -fno-rtti ${KESTRO_NO_UNWIND_TABLES})
target_compile_options(kcore PRIVATE ${KESTRO_SMALL} ${KESTRO_LEAN_CXX})

# Windows subsystems: one library of all Win32 code.
file(GLOB_RECURSE KWIN_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/win/*.cpp)
add_library(kwin STATIC ${KWIN_SOURCES})
kestro_target(kwin)
target_compile_options(kwin PRIVATE ${KESTRO_SMALL} ${KESTRO_LEAN_CXX})
# No version library: the stub binds it at run time from the system folder
# (src/win/Utils/system_library.h); cmake/check_stub_imports.py holds the
# stub's imports to the libraries Windows maps from its own folder.
target_link_libraries(kwin PUBLIC kcore comctl32 shell32 shlwapi advapi32 user32 gdi32 ole32)

include(${PROJECT_SOURCE_DIR}/cmake/stub-zlib.cmake)
add_subdirectory(src/stub)
add_subdirectory(tools/kpack)
add_subdirectory(tools/kengine)
add_subdirectory(bench)

# Test helper programs (tests/win/helpers/*.cpp): one exe each, started by tests.
file(GLOB KESTRO_WIN_HELPERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/helpers/*.cpp)
set(KESTRO_HELPER_TARGETS)
foreach(src ${KESTRO_WIN_HELPERS})
  get_filename_component(name ${src} NAME_WE)
  get_filename_component(dir ${src} DIRECTORY)
  if(EXISTS ${dir}/${name}.rc)
    # A helper with resources of its own (the stub's manifest, say).
    add_executable(${name} ${src} ${dir}/${name}.rc)
  else()
    add_executable(${name} ${src})
  endif()
  kestro_target(${name})
  target_link_libraries(${name} PRIVATE kwin)
  target_link_options(${name} PRIVATE ${KESTRO_STATIC_LINK})
  list(APPEND KESTRO_HELPER_TARGETS ${name})
endforeach()
# A library of the tests' own that marks where it was loaded: the planted-DLL
# tests copy it under system libraries' names beside the stub's files.
add_library(marker_library SHARED ${PROJECT_SOURCE_DIR}/tests/win/planted/marker_library.cpp)
kestro_target(marker_library)
set_target_properties(marker_library PROPERTIES PREFIX "")
target_link_options(marker_library PRIVATE ${KESTRO_STATIC_LINK})
list(APPEND KESTRO_HELPER_TARGETS marker_library)
# The helper whose C++ library fails links what the stub links in place of
# the runtime's exception paths.
if(TARGET library_failure AND TARGET kstub-runtime)
  target_link_libraries(library_failure PRIVATE kstub-runtime)
endif()
if(TARGET trust_root)
  target_link_libraries(trust_root PRIVATE crypt32)
endif()

# Linux programs the Windows tests start (servers on 127.0.0.1); found here,
# since the python3 first on PATH may be a shim that Wine cannot start.
find_program(KESTRO_PYTHON3 NAMES python3 PATHS /usr/bin /usr/local/bin NO_DEFAULT_PATH)
if(NOT KESTRO_PYTHON3)
  find_program(KESTRO_PYTHON3 NAMES python3)
endif()

# One Windows test binary per file in tests/win and tests/e2e; each runs under
# Wine as a single ctest entry (one process start per binary).
# Extra arguments name the targets the test starts (default: all of them).
function(kestro_windows_test src)
  set(starts ${ARGN})
  if(NOT starts)
    set(starts ${KESTRO_HELPER_TARGETS} kestro-stub kengine kpack)
  endif()
  get_filename_component(name ${src} NAME_WE)
  get_filename_component(kind ${src} DIRECTORY)
  get_filename_component(kind ${kind} NAME)
  set(t ${kind}_${name})
  add_executable(${t} ${src})
  kestro_target(${t})
  target_link_libraries(${t} PRIVATE kwin GTest::gtest_main)
  target_link_options(${t} PRIVATE ${KESTRO_STATIC_LINK})
  target_compile_definitions(${t} PRIVATE
    KESTRO_SOURCE_DIR="${PROJECT_SOURCE_DIR}" KESTRO_BINARY_DIR="${CMAKE_BINARY_DIR}"
    KESTRO_PYTHON3="${KESTRO_PYTHON3}")
  add_dependencies(${t} ${starts})
  add_test(NAME windows.${kind}.${name} COMMAND ${t} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(windows.${kind}.${name} PROPERTIES TIMEOUT 600)
endfunction()
file(GLOB KESTRO_WIN_TESTS CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/tests/win/*_test.cpp ${PROJECT_SOURCE_DIR}/tests/e2e/*_test.cpp)
foreach(src ${KESTRO_WIN_TESTS})
  kestro_windows_test(${src})
endforeach()

# The 32-bit stage (scripts/wow64-stage.sh): test programs of this tree that
# pack and run the shipped 32-bit build (its stub and its sample product) as
# a 32-bit process beside 64-bit ones. Labelled wow64: the suite leaves them
# out, and the stage runs them in a 64-bit prefix of its own.
get_filename_component(KESTRO_SHIPPED_DEFAULT ${CMAKE_BINARY_DIR}/../win ABSOLUTE)
set(KESTRO_SHIPPED_TREE ${KESTRO_SHIPPED_DEFAULT} CACHE PATH "The 32-bit product build the 32-bit stage runs")
file(GLOB KESTRO_WOW64_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/wow64/*_test.cpp)
foreach(src ${KESTRO_WOW64_TESTS})
  kestro_windows_test(${src} sample_product kengine kpack)
  get_filename_component(name ${src} NAME_WE)
  target_compile_definitions(wow64_${name} PRIVATE KESTRO_SHIPPED_TREE="${KESTRO_SHIPPED_TREE}"
    KESTRO_STUB_UNDER_TEST="${KESTRO_SHIPPED_TREE}/src/stub/kestro-stub.exe")
  set_tests_properties(windows.wow64.${name} PROPERTIES LABELS wow64 TIMEOUT 1800)
endforeach()

# A folder whose two links lead back to it: the folder searches must not
# follow them round (tests/win/runtime_dir_test.cpp).
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/walk-loop/sub)
foreach(link up again)
  if(NOT IS_SYMLINK ${CMAKE_BINARY_DIR}/walk-loop/sub/${link})
    file(CREATE_LINK .. ${CMAKE_BINARY_DIR}/walk-loop/sub/${link} SYMBOLIC)
  endif()
endforeach()

# Signed setup files are signed on the host (the signing tool is a Linux
# program), then started under Wine by the test that needs them.
if(TEST windows.e2e.signed_setup_test)
  add_test(NAME windows.e2e.sign_setups
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/e2e/sign_setups.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(windows.e2e.sign_setups PROPERTIES FIXTURES_SETUP signed_setups TIMEOUT 300)
  set_tests_properties(windows.e2e.signed_setup_test PROPERTIES FIXTURES_REQUIRED signed_setups)
endif()

# Throw-away CAs and server certificates for the HTTPS tests (openssl on the
# host; nginx serves them, a helper makes the prefix trust one CA).
if(TEST windows.e2e.signed_agent_test)
  add_test(NAME windows.fixture.test_certs
           COMMAND sh ${PROJECT_SOURCE_DIR}/tests/e2e/make_certs.sh ${CMAKE_BINARY_DIR}/test-certs)
  set_tests_properties(windows.fixture.test_certs PROPERTIES FIXTURES_SETUP test_certs)
  set_tests_properties(windows.e2e.signed_agent_test PROPERTIES FIXTURES_REQUIRED "signed_releases;test_certs")
endif()

# Signed releases for the Windows tests of release verification, made by the
# native kpack (OpenSSL) before those tests run.
set(KESTRO_NATIVE_KPACK ${CMAKE_BINARY_DIR}/../native/tools/kpack/kpack CACHE FILEPATH
    "The native kpack, which signs the releases the Windows tests verify")
if(TARGET kestro-stub AND TEST windows.win.release_verify_test)
  add_test(NAME windows.fixture.signed_releases
           COMMAND sh ${PROJECT_SOURCE_DIR}/tests/win/signed_releases.sh ${KESTRO_NATIVE_KPACK}
                   $<TARGET_FILE:kestro-stub> ${CMAKE_BINARY_DIR}/signed-releases)
  set_tests_properties(windows.fixture.signed_releases PROPERTIES FIXTURES_SETUP signed_releases)
  set_tests_properties(windows.win.release_verify_test PROPERTIES FIXTURES_REQUIRED signed_releases)
  foreach(test update_cycle_test planted_dll_test)
    if(TEST windows.e2e.${test})
      set_tests_properties(windows.e2e.${test} PROPERTIES FIXTURES_REQUIRED signed_releases)
    endif()
  endforeach()
endif()

# Writes that fail for real: a file that is a link to the Unix "full" device
# (every write ends with "disk full"), for the extraction tests.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/disk-full)
if(NOT IS_SYMLINK ${CMAKE_BINARY_DIR}/disk-full/agent.exe)
  file(CREATE_LINK /dev/full ${CMAKE_BINARY_DIR}/disk-full/agent.exe SYMBOLIC)
endif()

# The switch reader in a double-byte system code page: Wine takes it from the
# Unix locale (generated by scripts/deps.sh).
set_tests_properties(windows.win.switches_test PROPERTIES ENVIRONMENT "LC_ALL=ja_JP.UTF-8")
