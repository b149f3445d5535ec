# The toolchain's default linker script keeps every unwind table (.eh_frame)
# whole, and each table refers to the function it describes: with it,
# --gc-sections cannot drop any runtime function a linked object holds, used
# or not. The stub is built without exceptions and never unwinds, so it links
# with the toolchain's own script changed in that one place: the tables are
# collected like any other section.
#   kestro_collectable_unwind_script(<output file>)
function(kestro_collectable_unwind_script out)
  set(probe ${CMAKE_BINARY_DIR}/linker-script-probe)
  file(WRITE ${probe}.c "int main(void) { return 0; }\n")
  execute_process(
    COMMAND ${CMAKE_C_COMPILER} ${probe}.c -o ${probe}.exe -static -Wl,--verbose
    OUTPUT_VARIABLE verbose ERROR_VARIABLE errors RESULT_VARIABLE rc)
  string(REGEX MATCH "\n=+\n(.*)\n=+\n" script "${verbose}")
  set(script "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "KEEP *\\(\\*\\(\\.eh_frame\\*\\)\\)" "*(.eh_frame*)" changed "${script}")
  if(NOT rc EQUAL 0 OR script STREQUAL "" OR changed STREQUAL script)
    message(FATAL_ERROR "Cannot derive the stub's linker script from ${CMAKE_C_COMPILER} "
                        "(exit ${rc}): no default script with a kept .eh_frame.\n${errors}")
  endif()
  file(WRITE ${out} "${changed}\n")
endfunction()
