// LLVM's C++ library for WebAssembly is built without exceptions: the programs' handlers
// are compiled and never reached, and what would throw (running out of memory, above all)
// stops the run instead, which the page reports in words.
#include <cstddef>
#include <cstdlib>

extern "C" {

[[noreturn]] void* __cxa_allocate_exception(std::size_t /*size*/) noexcept
{
    std::abort();
}

[[noreturn]] void __cxa_throw(void* /*exception*/, void* /*type*/, void (* /*destroy*/)(void*))
{
    std::abort();
}
}
