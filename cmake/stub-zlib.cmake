# The stub's inflater: zlib's own sources in third_party/zlib (its README says
# what was altered).
#   kestro_stub_zlib(NAME KIND)  KIND is OBJECT (the stub, which links the
#   small CRC-32 in its runtime) or STATIC (native programs that hold it
#   against the system's zlib or time it: the CRC-32 comes along, and users
#   see its zlib.h before the system's)
set(KESTRO_ZLIB_SOURCE ${PROJECT_SOURCE_DIR}/third_party/zlib)
function(kestro_stub_zlib name kind)
  add_library(${name} ${kind} ${KESTRO_ZLIB_SOURCE}/inflate.c ${KESTRO_ZLIB_SOURCE}/inftrees.c
              ${KESTRO_ZLIB_SOURCE}/inffast.c ${KESTRO_ZLIB_SOURCE}/adler32.c ${KESTRO_ZLIB_SOURCE}/zutil.c)
  target_include_directories(${name} PRIVATE ${KESTRO_ZLIB_SOURCE})
  if(kind STREQUAL STATIC)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src/stub/zlib_crc32.cpp)
    target_include_directories(${name} BEFORE INTERFACE ${KESTRO_ZLIB_SOURCE})
    target_link_libraries(${name} PRIVATE kcore)
  endif()
endfunction()
