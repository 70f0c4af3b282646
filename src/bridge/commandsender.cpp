#include "bridge/commandsender.h"

#include "bridge/permissionpolicy.h"

bool AcceptsCommandFrom(const CommandSender& sender, const QString& platformHost) {
    if (!IsPlatformOrigin(sender.topPage, platformHost))
        return false;
    return sender.mainFrame ? !sender.foreignFrameInput : !sender.foreignFrames;
}
