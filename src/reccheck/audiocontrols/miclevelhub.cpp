#include "reccheck/audiocontrols/miclevelhub.h"

MicLevelHub& MicLevelHub::Instance() {
    static MicLevelHub hub;
    return hub;
}
