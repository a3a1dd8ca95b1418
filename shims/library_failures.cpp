// library_failures.cpp - how a shipped module stops when the C++ library
// meets a failure it reports by an exception (a string past its largest
// length, an index out of range). Nothing in the modules catches one, so it
// would end in std::terminate all the same; these stop at once instead.
// What they replace would link the library's exception classes, its
// reference-counted string, its locale and random-device code and the name
// demangler of the default terminate handler into every module: most of
// each file's size.
#include <cstdlib>
#include <exception>

namespace {

[[noreturn]] void StopAtOnce()
{
    abort();
}

}  // namespace

// The handler std::terminate calls unless one is set. The library's own
// writes the exception's name to a console a windowed program has not, and
// links the name demangler for it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { StopAtOnce(); }
}

namespace std {

void __throw_bad_alloc() { StopAtOnce(); }
void __throw_bad_array_new_length() { StopAtOnce(); }
void __throw_bad_cast() { StopAtOnce(); }
void __throw_bad_exception() { StopAtOnce(); }
void __throw_bad_typeid() { StopAtOnce(); }
void __throw_logic_error(const char *) { StopAtOnce(); }
void __throw_domain_error(const char *) { StopAtOnce(); }
void __throw_invalid_argument(const char *) { StopAtOnce(); }
void __throw_length_error(const char *) { StopAtOnce(); }
void __throw_out_of_range(const char *) { StopAtOnce(); }
void __throw_out_of_range_fmt(const char *, ...) { StopAtOnce(); }
void __throw_runtime_error(const char *) { StopAtOnce(); }
void __throw_range_error(const char *) { StopAtOnce(); }
void __throw_overflow_error(const char *) { StopAtOnce(); }
void __throw_underflow_error(const char *) { StopAtOnce(); }

}  // namespace std
