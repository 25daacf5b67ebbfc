// QLTAGENT whose run holds before a page of its choosing until its test lets it go on, so
// that the test can change the source while the run is held there, whatever the
// machine's speed:
//   qltagent_held PAGES_DONE READY_FD GO_FD [QLTAGENT's arguments...]
// Once PAGES_DONE pages are done, the run writes a byte to READY_FD and waits for one on
// GO_FD. A test that never answers does not leave it waiting for good: after a while the
// program ends with a message, and an end of GO_FD (the test gone) lets the run go on.
#include "qltagent_program.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Far longer than any test drives a held run; as the in-process hold's longest hold.
constexpr int longest_hold_ms = 120 * 1000;

void hold(int ready_fd, int go_fd)
{
    const char held = 'h';
    if (write(ready_fd, &held, 1) != 1) {
        std::perror("qltagent_held: ready");
        std::abort();
    }
    pollfd go {go_fd, POLLIN, 0};
    int ready = 0;
    while ((ready = poll(&go, 1, longest_hold_ms)) < 0 && errno == EINTR) {
    }
    if (ready == 0) {
        std::fprintf(stderr, "qltagent_held: held for %d s, nobody let the run go on\n", longest_hold_ms / 1000);
        std::abort();
    }
    char answer = 0;
    if (read(go_fd, &answer, 1) < 0)
        std::perror("qltagent_held: go");
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: qltagent_held PAGES_DONE READY_FD GO_FD [ARGUMENTS...]\n");
        return 2;
    }
    const auto pages_done = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10));
    const int ready_fd = std::atoi(argv[2]);
    const int go_fd = std::atoi(argv[3]);
    std::vector<char*> arguments {argv[0]};
    arguments.insert(arguments.end(), argv + 4, argv + argc);
    arguments.push_back(nullptr);
    return qltagent_program(static_cast<int>(arguments.size()) - 1, arguments.data(), [=](std::uint32_t done) {
        if (done == pages_done)
            hold(ready_fd, go_fd);
    });
}
