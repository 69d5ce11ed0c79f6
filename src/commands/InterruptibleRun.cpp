#include "InterruptibleRun.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace vt {

namespace {

// The write end of the wake-up pipe while a run waits; a signal handler may
// only write to it.
volatile std::sig_atomic_t wakeFd = -1;

constexpr char Interrupted = 'i';
constexpr char WorkEnded = 'e';

extern "C" void onInterrupt(int) {
    const int savedErrno = errno;
    const char byte = Interrupted;
    if (wakeFd >= 0) {
        [[maybe_unused]] const ssize_t written = write(wakeFd, &byte, 1);
    }
    errno = savedErrno;
}

// The next byte, calling tick each time tickMs pass without one.
char readByte(int fd, const std::function<void()>& tick, int tickMs) {
    pollfd wait{fd, POLLIN, 0};
    for (;;) {
        const int ready = poll(&wait, 1, tick ? tickMs : -1);
        if (ready == 0) {
            tick();
            continue;
        }
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        char byte = 0;
        while (read(fd, &byte, 1) < 0 && errno == EINTR) {
        }
        return byte;
    }
}

} // namespace

void runInterruptibly(const std::function<void(std::stop_token)>& work,
                      const std::function<void()>& tick, int tickMs) {
    int fds[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC) != 0) {
        // No way to hear a signal: the work runs without that.
        work(std::stop_token());
        return;
    }
    wakeFd = fds[1];
    void (*previousInt)(int) = std::signal(SIGINT, onInterrupt);
    void (*previousTerm)(int) = std::signal(SIGTERM, onInterrupt);

    // A pool of its own: the work may itself fill the shared pool and wait on it.
    QThreadPool pool;
    pool.setMaxThreadCount(1);
    std::stop_source stop;
    QFuture<void> done = QtConcurrent::run(
        &pool,
        [&work, &fds](std::stop_token token) {
            struct SayEnded {
                int fd;
                ~SayEnded() {
                    const char byte = WorkEnded;
                    [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
                }
            } sayEnded{fds[1]};
            work(token);
        },
        stop.get_token());
    while (readByte(fds[0], tick, tickMs) == Interrupted) {
        stop.request_stop();
    }
    pool.waitForDone();

    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    wakeFd = -1;
    close(fds[0]);
    close(fds[1]);
    done.waitForFinished(); // what the work threw, once the handlers are back
}

} // namespace vt
