# Native Linux build: portable core, the packager and the native unit tests.
find_package(ZLIB REQUIRED)
target_link_libraries(kcore PUBLIC ZLIB::ZLIB)
# zstd: the distribution's library (libzstd-dev), encoder and decoder.
find_package(PkgConfig REQUIRED)
pkg_check_modules(KESTRO_ZSTD REQUIRED IMPORTED_TARGET libzstd)
target_link_libraries(kcore PUBLIC PkgConfig::KESTRO_ZSTD)

option(KESTRO_SANITIZE "Build native tests with address and undefined-behaviour sanitizers" ON)
if(KESTRO_SANITIZE)
  set(KESTRO_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_compile_options(kcore PRIVATE ${KESTRO_SAN_FLAGS})
endif()

include(${PROJECT_SOURCE_DIR}/cmake/stub-zlib.cmake)
add_subdirectory(tools/kpack)
add_subdirectory(bench)

# Includes point from higher layers to lower ones only (table in the script).
find_package(Python3 COMPONENTS Interpreter REQUIRED)
add_test(NAME native.include_layers
         COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/check_layers.py ${PROJECT_SOURCE_DIR})
# The check itself, on small trees broken one way each: what it must say.
function(kestro_layer_case name expected)
  add_test(NAME native.include_layers.${name}
           COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/check_layers.py
                   ${PROJECT_SOURCE_DIR}/tests/layers/${name})
  set_tests_properties(native.include_layers.${name} PROPERTIES PASS_REGULAR_EXPRESSION "${expected}")
endfunction()
kestro_layer_case(clean "Include layers hold in 3 files")
kestro_layer_case(upward "UnPack [(][^)]*[)] must not include StubSetup")
kestro_layer_case(sideways_loop "modules include each other: KDebug -> Utils -> KDebug")
kestro_layer_case(core_loop "modules include each other: core/PackX -> core/UnPack -> core/PackX")
kestro_layer_case(unplaced "module NewModule has no layer in check_layers.py")
kestro_layer_case(core_windows "the portable core includes a Windows header")

# Release signing: kpack signs with OpenSSL, and the tests check its
# signatures with OpenSSL through the same byte forms the stub hands to CNG.
find_package(OpenSSL REQUIRED)

# One test binary per file in tests/unit.
file(GLOB KESTRO_UNIT_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/*_test.cpp)
foreach(src ${KESTRO_UNIT_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(unit_${name} ${src})
  kestro_target(unit_${name})
  target_link_libraries(unit_${name} PRIVATE kcore GTest::gtest_main OpenSSL::Crypto)
  if(KESTRO_SANITIZE)
    target_compile_options(unit_${name} PRIVATE ${KESTRO_SAN_FLAGS})
    target_link_options(unit_${name} PRIVATE ${KESTRO_SAN_FLAGS})
  endif()
  target_compile_definitions(unit_${name} PRIVATE
    KESTRO_SOURCE_DIR="${PROJECT_SOURCE_DIR}" KESTRO_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(unit_${name} TEST_PREFIX "native." DISCOVERY_MODE PRE_TEST)
endforeach()

# The stub's own inflater (third_party/zlib), built natively with Z_PREFIX so
# a test can hold it against the system's zlib in one program: once with the
# machine's word for its bit buffer, once with the 32-bit word of the shipped
# stub. The test's source is built into both programs.
add_library(ktest-system-zlib OBJECT ${PROJECT_SOURCE_DIR}/tests/support/system_zlib.cpp)
kestro_target(ktest-system-zlib)
target_link_libraries(ktest-system-zlib PUBLIC ZLIB::ZLIB GTest::gtest)
foreach(word machine 32)
  set(lib kstub-zlib-word-${word})
  kestro_stub_zlib(${lib} STATIC)
  target_compile_definitions(${lib} PUBLIC Z_PREFIX)
  if(word STREQUAL 32)
    target_compile_definitions(${lib} PRIVATE INFLATE_FAST_WORD32)
  endif()
  set(test unit_stub_inflater_test)
  if(NOT word STREQUAL machine)
    set(test unit_stub_inflater_test_word${word})
    add_executable(${test} ${PROJECT_SOURCE_DIR}/tests/unit/stub_inflater_test.cpp)
    kestro_target(${test})
    target_link_libraries(${test} PRIVATE GTest::gtest_main)
    gtest_discover_tests(${test} TEST_PREFIX "native.word${word}." DISCOVERY_MODE PRE_TEST)
  endif()
  target_link_libraries(${test} PRIVATE ${lib} ktest-system-zlib)
  if(KESTRO_SANITIZE)
    target_compile_options(${lib} PRIVATE ${KESTRO_SAN_FLAGS})
    target_compile_options(${test} PRIVATE ${KESTRO_SAN_FLAGS})
    target_link_options(${test} PRIVATE ${KESTRO_SAN_FLAGS})
  endif()
endforeach()
