#include "mainwin/privatemessages.h"

OtherInstanceAction DecideOtherInstance(bool plomekOpen, bool ostrelOpen, bool dravinOpen,
                                        bool mainWindowVisible) {
    if (plomekOpen)
        return {true, false, false};
    const bool show = !ostrelOpen && !dravinOpen && !mainWindowVisible;
    return {false, show, true};
}
