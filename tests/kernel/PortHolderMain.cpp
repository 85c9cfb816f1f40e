// A second process for the port tests: opens COM1 through the binding, tells its
// parent on stdout ("open" or "refused <error>"), waits for a line on stdin, then ends
// normally without closing the port.
#include <cstdio>
#include <string>

#include "kernel/Kernel.h"

int main() {
    HANDLE h =
        CreateFileA("COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        std::printf("refused %u\n", static_cast<unsigned>(GetLastError()));
    else
        std::printf("open\n");
    std::fflush(stdout);
    char line[16];
    (void)!std::fgets(line, sizeof line, stdin);
    return 0; // the port stays open: the process's end has to tidy up
}
