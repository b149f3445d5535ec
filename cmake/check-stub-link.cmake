# Fails the stub's build when its link brought in parts of the C++ runtime
# that it must not carry: the stream library with its locales (about a
# megabyte in every setup file) or the runtime's symbol demangler.
#   cmake -DMAP=<linker map of the stub> -P check-stub-link.cmake
file(READ "${MAP}" map)
set(forbidden
  "ios_init.o" "locale_init.o" "iostream-inst.o" "istream-inst.o" "ostream-inst.o"
  "sstream-inst.o" "fstream-inst.o" "cp-demangle.o")
set(found)
foreach(member ${forbidden})
  string(FIND "${map}" "libstdc++.a(${member})" at)
  if(NOT at EQUAL -1)
    list(APPEND found ${member})
  endif()
endforeach()
if(found)
  list(JOIN found ", " found)
  message(FATAL_ERROR
    "kestro-stub links ${found} from the C++ runtime (see ${MAP}).\n"
    "The stub travels inside every setup file and stays small: trace through "
    "core/KDebug/trace.h, build texts with std::string and std::to_string, "
    "never with <iostream>, <sstream>, <fstream> or <locale>.")
endif()
