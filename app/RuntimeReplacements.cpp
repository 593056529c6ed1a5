#include <cstdlib>
#include <functional>
#include <new>
#include <stdexcept>

// The program's own definitions of things the C++ runtime would otherwise
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

// The allocation that cannot return null ends the program when memory runs
// out, as the runtime's own does once its bad_alloc finds no handler; it
// brings no exception object to throw.
void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    std::abort();
}

// The standard library's containers and std::function call these helpers
// where a precondition fails (a length beyond the largest, an empty function
// called), and the runtime's own code throws through the functions below.
// The runtime would throw, and with nothing to catch the program would end in
// std::terminate; ending it here, as that would, leaves out the runtime's
// exception objects, their classes and the unwinder behind them.
namespace std {

void __throw_bad_alloc() {
    std::abort();
}
void __throw_bad_array_new_length() {
    std::abort();
}
void __throw_bad_cast() {
    std::abort();
}
void __throw_bad_exception() {
    std::abort();
}
void __throw_bad_function_call() {
    std::abort();
}
void __throw_bad_typeid() {
    std::abort();
}
void __throw_domain_error(const char*) {
    std::abort();
}
void __throw_invalid_argument(const char*) {
    std::abort();
}
void __throw_length_error(const char*) {
    std::abort();
}
void __throw_logic_error(const char*) {
    std::abort();
}
void __throw_out_of_range(const char*) {
    std::abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
void __throw_overflow_error(const char*) {
    std::abort();
}
void __throw_range_error(const char*) {
    std::abort();
}
void __throw_runtime_error(const char*) {
    std::abort();
}
void __throw_underflow_error(const char*) {
    std::abort();
}

}  // namespace std

// The unwinder's entry points that the runtime's throw, catch and
// personality routine call. Unwinding starts only when a throw raises its
// exception, and with no handler anywhere the program would then end in
// std::terminate: raising ends it here instead, so nothing else is reached,
// and the unwinder and its frame tables stay out of the program.
// Only the 32-bit runtime unwinds through these, with its own frame tables;
// the 64-bit one goes through Windows' exception handling instead.
#if defined(__i386__)
extern "C" {

void _Unwind_RaiseException() {
    std::abort();
}
void _Unwind_Resume() {
    std::abort();
}
void _Unwind_Resume_or_Rethrow() {
    std::abort();
}
void _Unwind_DeleteException() {
    std::abort();
}
void _Unwind_GetDataRelBase() {
    std::abort();
}
void _Unwind_GetIPInfo() {
    std::abort();
}
void _Unwind_GetLanguageSpecificData() {
    std::abort();
}
void _Unwind_GetRegionStart() {
    std::abort();
}
void _Unwind_GetTextRelBase() {
    std::abort();
}
void _Unwind_SetGR() {
    std::abort();
}
void _Unwind_SetIP() {
    std::abort();
}
}
#endif
