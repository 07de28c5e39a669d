// Says that it ran, and whether as a 32-bit or a 64-bit program. The Windows
// test environment runs it first: Wine without its 32-bit part, or a kernel
// that runs no 32-bit code, makes a 32-bit program end with status 0 without
// having run at all, so only this line shows that it did.
#include <cstdio>

int main() {
  std::printf("Windows program ran: %d-bit\n", static_cast<int>(sizeof(void*) * 8));
  return 0;
}
