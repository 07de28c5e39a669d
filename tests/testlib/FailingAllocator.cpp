// Preloaded into a program (LD_PRELOAD), makes every allocation of more than
// 4 KiB fail, as allocations do when memory runs out, while the small ones of
// the program's start keep working: the run itself is what runs out.
#include <cerrno>
#include <cstddef>

extern "C" void* __libc_malloc(std::size_t size);

extern "C" void* malloc(std::size_t size) {
  if (size > 4096) {
    errno = ENOMEM;
    return nullptr;
  }
  return __libc_malloc(size);
}
