#include "platform/StopSignals.h"

#include <csignal>

namespace platform
{
namespace
{
volatile std::sig_atomic_t g_stopSignal = 0;

void NoteStopSignal(int signal)
{
    g_stopSignal = signal;
}
} // namespace

void CatchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = NoteStopSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: a second Ctrl+C still ends a program that does not get round to stopping.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int TakeStopSignal()
{
    const int signal = g_stopSignal;
    if (signal != 0)
        g_stopSignal = 0;
    return signal;
}
} // namespace platform
