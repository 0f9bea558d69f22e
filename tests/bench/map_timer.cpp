// Starts a program on the X server of $DISPLAY and prints, once its first window is mapped, the
// milliseconds since the start and its resident and peak memory (kB) at that moment; then ends
// it. It waits for the server's MapNotify rather than polling, so the timing costs the machine
// nothing while the program starts.
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kDeadline = std::chrono::seconds(30);

// Has the server tell us of every window mapped on the root; the reply makes sure it is in force
// before the program starts.
bool WatchMaps(xcb_connection_t* connection)
{
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    return xcb_connection_has_error(connection) == 0;
}

// Waits for the first map of a managed window (menus and tool tips bypass the manager).
bool WaitForMap(xcb_connection_t* connection, Clock::time_point deadline)
{
    pollfd watched{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY &&
                                !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
            std::free(event);
            if (mapped)
                return true;
        }
        if (xcb_connection_has_error(connection))
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        poll(&watched, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
    }
    return false;
}

long StatusKb(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0)
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
    return -1;
}

pid_t Start(char** argv)
{
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv);
        _exit(127);
    }
    return child;
}

void End(pid_t child)
{
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: map_timer PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(xcb_connect(nullptr, nullptr), xcb_disconnect);
    if (!WatchMaps(connection.get())) {
        std::fprintf(stderr, "map_timer: no X server at DISPLAY\n");
        return 1;
    }
    const auto start = Clock::now();
    const pid_t child = Start(argv + 1);
    if (child < 0 || !WaitForMap(connection.get(), start + kDeadline)) {
        std::fprintf(stderr, "map_timer: %s mapped no window within %lld s\n", argv[1],
                     static_cast<long long>(kDeadline.count()));
        if (child > 0)
            End(child);
        return 1;
    }
    const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const long rss = StatusKb(child, "VmRSS"), peak = StatusKb(child, "VmHWM");
    End(child);
    std::printf("%.1f %ld %ld\n", elapsed, rss, peak);
    return 0;
}
