#include <cstdlib>
#include <new>

// The program's own definitions of two things the C++ runtime would otherwise
// bring. It is linked with a runtime without unwind tables (see its build), so
// no exception thrown inside the runtime can be caught there either.

// libstdc++'s default terminate handler writes the uncaught exception's
// demangled type to the standard error stream, which a window program does
// not have; the demangler alone is a tenth of the program. Defining the
// handler here keeps that part of the library out of the link: the program
// ends as abort() ends it, and the crash report has the rest.
namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx

// The runtime's nothrow allocation calls the throwing one and catches its
// bad_alloc, which takes unwind tables: without them a failed allocation
// would end the program instead of returning null to the caller that asked
// (the sorting algorithms' scratch buffers, which work without one).
// Memory from here is released by the runtime's operator delete, which frees
// what malloc gave as its operator new does.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
