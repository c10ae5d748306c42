#include "interrupt.h"

#include <csignal>

namespace korvex::cli {
namespace {

volatile std::sig_atomic_t interrupts = 0;

void OnInterrupt(int) {
    if (interrupts < 2) interrupts = interrupts + 1;
    std::signal(SIGINT, OnInterrupt);  // some systems reset the handler on each signal
}

}  // namespace

void CatchInterrupt() { std::signal(SIGINT, OnInterrupt); }

bool Interrupted() { return interrupts >= 1; }

bool InterruptedTwice() { return interrupts >= 2; }

}  // namespace korvex::cli
