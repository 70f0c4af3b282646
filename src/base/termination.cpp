#include "base/termination.h"

namespace {
bool terminationRequested = false;
}

void RequestTermination() {
    terminationRequested = true;
}

bool TerminationRequested() {
    return terminationRequested;
}
