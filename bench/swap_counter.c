/**********************************************************************************************
*
*   swap_counter - counts a program's buffer swaps from outside its code (LD_PRELOAD)
*
*   Wraps glXSwapBuffers: every call adds one to a 64-bit counter kept in the file named by
*   SW_SWAP_COUNTER (mapped shared, so a reader sees the count at any moment without
*   stopping the program), then calls the real glXSwapBuffers. Without SW_SWAP_COUNTER the
*   swaps are passed on uncounted.
*
*   DEPENDENCIES: libdl (dlsym), POSIX (mmap)
*
**********************************************************************************************/
#define _GNU_SOURCE
#include <dlfcn.h>     // Required for: dlsym(), RTLD_NEXT
#include <fcntl.h>     // Required for: open()
#include <stdint.h>
#include <stdlib.h>    // Required for: getenv()
#include <sys/mman.h>  // Required for: mmap()
#include <unistd.h>    // Required for: ftruncate(), close()

typedef void (*SwapFunction)(void *display, unsigned long drawable);

static SwapFunction realSwap = 0;
static volatile uint64_t *counter = 0;
static int counterTried = 0;

// The shared counter of the file named by SW_SWAP_COUNTER (null without one)
static volatile uint64_t *mapCounter(void)
{
    const char *path = getenv("SW_SWAP_COUNTER");
    if (path == 0 || path[0] == '\0') return 0;
    int fd = open(path, O_RDWR | O_CREAT, 0644);
    if (fd < 0) return 0;
    if (ftruncate(fd, sizeof(uint64_t)) != 0) {
        close(fd);
        return 0;
    }
    void *memory = mmap(0, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    return memory == MAP_FAILED ? 0 : (volatile uint64_t *)memory;
}

// Counts the swap, then swaps
void glXSwapBuffers(void *display, unsigned long drawable)
{
    if (realSwap == 0) realSwap = (SwapFunction)dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (!counterTried) {
        counter = mapCounter();
        counterTried = 1;
    }
    if (counter != 0) __atomic_add_fetch(counter, 1, __ATOMIC_RELAXED);
    if (realSwap != 0) realSwap(display, drawable);
}
