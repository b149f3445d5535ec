// The stub is built without exceptions: it travels inside every setup file,
// and the runtime's exception machinery (unwinder, unwind tables, exception
// objects and their thread state) was a third of its size. What the C++
// library would throw therefore cannot be caught anywhere in it: memory
// running out, a text or list grown past its limit, a position out of
// range, a call of an empty function object, a lock that fails. Each of
// these ends the process here, before a half-made object can be used: one
// line on the debug channel with the reason, then abort(), which is how an
// uncaught exception ended the program before.
//
// These definitions take the place of the runtime's own in the link: the
// library's throwing helpers, the global operator new, the handler of a
// pure virtual call, the guards of static locals, and the entry points of
// the exception machinery that the library's precompiled code still names
// on paths only a throw could reach. cmake/check-stub-link.cmake fails the
// build if the runtime's versions come back.
#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>

#include "core/KDebug/trace.h"

namespace kestro {
namespace {

[[noreturn]] void EndOnLibraryFailure(const char* kind, const char* detail) {
  // A second failure while the first is reported (no memory left for the
  // line) ends without a line.
  static std::atomic<bool> reporting{false};
  if (!reporting.exchange(true)) LogException(detail ? detail : "", "FATAL", kind);
  std::abort();
}

// The library's range errors name the function and the numbers with "%s"
// and "%zu", nothing else.
std::string RangeErrorText(const char* format, va_list args) {
  std::string text;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      const char* s = va_arg(args, const char*);
      text += s ? s : "";
      ++p;
    } else if (p[0] == '%' && p[1] == 'z' && p[2] == 'u') {
      text += std::to_string(va_arg(args, std::size_t));
      p += 2;
    } else {
      text += *p;
    }
  }
  return text;
}

}  // namespace
}  // namespace kestro

using kestro::EndOnLibraryFailure;

// ---------------------------------------------------------------- the library's throws

namespace std {

void __throw_bad_exception() { EndOnLibraryFailure("bad_exception", nullptr); }
void __throw_bad_alloc() { EndOnLibraryFailure("bad_alloc", "out of memory"); }
void __throw_bad_array_new_length() { EndOnLibraryFailure("bad_array_new_length", nullptr); }
void __throw_bad_cast() { EndOnLibraryFailure("bad_cast", nullptr); }
void __throw_bad_typeid() { EndOnLibraryFailure("bad_typeid", nullptr); }
void __throw_logic_error(const char* s) { EndOnLibraryFailure("logic_error", s); }
void __throw_domain_error(const char* s) { EndOnLibraryFailure("domain_error", s); }
void __throw_invalid_argument(const char* s) { EndOnLibraryFailure("invalid_argument", s); }
void __throw_length_error(const char* s) { EndOnLibraryFailure("length_error", s); }
void __throw_out_of_range(const char* s) { EndOnLibraryFailure("out_of_range", s); }
void __throw_out_of_range_fmt(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string detail = kestro::RangeErrorText(format, args);
  va_end(args);
  EndOnLibraryFailure("out_of_range", detail.c_str());
}
void __throw_runtime_error(const char* s) { EndOnLibraryFailure("runtime_error", s); }
void __throw_range_error(const char* s) { EndOnLibraryFailure("range_error", s); }
void __throw_overflow_error(const char* s) { EndOnLibraryFailure("overflow_error", s); }
void __throw_underflow_error(const char* s) { EndOnLibraryFailure("underflow_error", s); }
void __throw_bad_function_call() { EndOnLibraryFailure("bad_function_call", nullptr); }
void __throw_system_error(int) { EndOnLibraryFailure("system_error", nullptr); }

}  // namespace std

// ---------------------------------------------------------------- allocation

void* operator new(std::size_t size) {
  if (void* p = std::malloc(size ? size : 1)) return p;
  EndOnLibraryFailure("bad_alloc", "out of memory");
}

// ---------------------------------------------------------------- the ABI

extern "C" {

void __cxa_pure_virtual() { EndOnLibraryFailure("pure virtual call", nullptr); }
void __cxa_deleted_virtual() { EndOnLibraryFailure("deleted virtual call", nullptr); }

// Static locals made once, also when threads meet at the first use. The
// first byte of the 64-bit guard marks the object made (the compiler's own
// code reads it before calling here); the 32-bit word after it holds the id
// of the thread making it, 0 when none is. The runtime's version waits on a
// threads library and throws when a static needs itself.
int __cxa_guard_acquire(long long* guard) {
  volatile char* made = reinterpret_cast<volatile char*>(guard);
  volatile LONG* maker = reinterpret_cast<volatile LONG*>(guard) + 1;
  const LONG self = LONG(GetCurrentThreadId());
  for (;;) {
    if (__atomic_load_n(made, __ATOMIC_ACQUIRE)) return 0;
    const LONG other = InterlockedCompareExchange(maker, self, 0);
    if (other == 0) {
      if (!__atomic_load_n(made, __ATOMIC_ACQUIRE)) return 1;  // this thread makes it
      InterlockedExchange(maker, 0);
      return 0;
    }
    if (other == self) EndOnLibraryFailure("recursive_init_error", "a static object needs itself");
    Sleep(1);  // another thread is making it
  }
}

void __cxa_guard_release(long long* guard) {
  __atomic_store_n(reinterpret_cast<volatile char*>(guard), 1, __ATOMIC_RELEASE);
  InterlockedExchange(reinterpret_cast<volatile LONG*>(guard) + 1, 0);
}

void __cxa_guard_abort(long long* guard) {
  InterlockedExchange(reinterpret_cast<volatile LONG*>(guard) + 1, 0);
}

#if defined(__i386__)
// The 32-bit runtime unwinds by tables. The library's precompiled code
// (std::string's members, say) still catches, rethrows and cleans up on
// the way of an exception, and names these entry points for it; no
// exception is ever thrown here, so none of them can be reached.
void* __cxa_begin_catch(void*) { EndOnLibraryFailure("exception", "caught"); }
void __cxa_end_catch() { EndOnLibraryFailure("exception", "caught"); }
void __cxa_rethrow() { EndOnLibraryFailure("exception", "rethrown"); }
void _Unwind_Resume(void*) { EndOnLibraryFailure("exception", "unwound"); }
int __gxx_personality_v0(int, int, unsigned long long, void*, void*) {
  EndOnLibraryFailure("exception", "unwound");
}
#endif

}  // extern "C"
