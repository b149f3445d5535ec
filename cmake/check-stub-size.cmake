# Fails the build of the 32-bit stub when it outgrows its budget: it travels
# inside every setup file, and every byte of it is downloaded by every user
# of a web setup or an update.
#   cmake -DEXE=kestro-stub.exe -DLIMIT_KB=300 -P check-stub-size.cmake
file(SIZE "${EXE}" size)
math(EXPR limit "${LIMIT_KB} * 1024")
if(size GREATER limit)
  message(FATAL_ERROR "kestro-stub.exe is ${size} bytes, over its budget of ${LIMIT_KB} KB "
          "(bench/README.md says where the bytes went and how they were won back)")
endif()
