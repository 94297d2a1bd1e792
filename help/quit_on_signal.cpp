#include "help/quit_on_signal.h"

#include <QCoreApplication>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <csignal>
#endif

namespace trisk {

#ifdef Q_OS_UNIX
namespace {

int signalPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void WriteSignalByte(int) {
    const char byte = 1;
    // Nothing can be done about a failed write here; the pipe is non-blocking
    // so that a flood of signals never blocks the handler.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

QuitOnSignal::QuitOnSignal(QObject* parent) : QObject(parent) {
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = WriteSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

QuitOnSignal::~QuitOnSignal() {
    if (notifier_ == nullptr) return;
    delete notifier_;
    for (const int signal : kSignals)
        ::signal(signal, SIG_DFL);
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}
#else
QuitOnSignal::QuitOnSignal(QObject* parent) : QObject(parent) {}
QuitOnSignal::~QuitOnSignal() = default;
#endif

}  // namespace trisk
