# Fails the stub's build when its link brought in parts of the runtimes that
# it must not carry (the linker map names every archive member it took):
#   - the C++ stream library with its locales (about a megabyte in every
#     setup file) and the runtime's symbol demangler;
#   - the runtime's throwing helpers and operator new, the exception
#     classes, the guards of static locals, the system zlib's inflater (the
#     stub builds its own, third_party/zlib) and its table-driven CRC-32,
#     which src/stub replaces;
#   - the library's random engines (2.5 KB of state each): random numbers
#     come from SUB::RandomInt;
#   - on the 32-bit runtime, which unwinds by tables of its own, the
#     exception machinery (throwing, catching, the unwinder) and the threads
#     library's thread machinery and mutex (the stub is built without
#     exceptions; one throw that comes back brings about 100 KB with it; the
#     mutex brings a GetTickCount64 import that older Windows lack), and the
#     C runtime's printf engine (decimals are written by core/Utils/fixed_text.h).
#   cmake -DMAP=<linker map of the stub> -DARCH=<i686|x86_64> -P check-stub-link.cmake
file(READ "${MAP}" map)
set(streams
  "libstdc++.a(ios_init.o)" "libstdc++.a(locale_init.o)" "libstdc++.a(iostream-inst.o)"
  "libstdc++.a(istream-inst.o)" "libstdc++.a(ostream-inst.o)" "libstdc++.a(sstream-inst.o)"
  "libstdc++.a(fstream-inst.o)" "libstdc++.a(cp-demangle.o)")
set(replaced
  "libstdc++.a(functexcept.o)" "libstdc++.a(functional.o)" "libstdc++.a(system_error.o)"
  "libstdc++.a(cow-stdexcept.o)" "libstdc++.a(stdexcept.o)" "libstdc++.a(new_op.o)"
  "libstdc++.a(pure.o)" "libstdc++.a(guard.o)" "libz.a(crc32.o)"
  "libz.a(inflate.o)" "libz.a(inffast.o)" "libz.a(adler32.o)" "libz.a(zutil.o)"
  "libstdc++.a(random.o)")
set(machinery)
if(ARCH STREQUAL "i686")
  set(machinery
    "libstdc++.a(eh_throw.o)" "libstdc++.a(eh_catch.o)" "libstdc++.a(eh_alloc.o)"
    "libstdc++.a(eh_personality.o)" "libstdc++.a(eh_globals.o)" "libstdc++.a(eh_terminate.o)"
    "libgcc_eh.a(unwind-dw2.o)" "libgcc_eh.a(unwind-dw2-fde.o)"
    "libpthread.a(libwinpthread_la-thread.o)" "libpthread.a(libwinpthread_la-mutex.o)"
    "libmingwex_a-mingw_pformat.o)")
endif()
set(found)
foreach(member ${streams} ${replaced} ${machinery})
  string(FIND "${map}" "${member}" at)
  if(NOT at EQUAL -1)
    list(APPEND found ${member})
  endif()
endforeach()
if(found)
  list(JOIN found ", " found)
  message(FATAL_ERROR
    "kestro-stub links ${found} from the runtimes (see ${MAP}; its first part names "
    "the reference that brought each member in).\n"
    "The stub travels inside every setup file and stays small: trace through "
    "core/KDebug/trace.h, build texts with std::string and std::to_string, never with "
    "<iostream>, <sstream>, <fstream> or <locale>; report errors by return values, never "
    "throw or catch; a library function that needs the exception machinery has to be "
    "replaced, or given a definition in src/stub/library_failures.cpp.")
endif()
