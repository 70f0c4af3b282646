#include "mainwin/pageprocess.h"

namespace {

constexpr qint64 ReloadAgainAfterMs = 30000;

} // namespace

PageProcessAction PageProcessRestarts::OnPageProcessEnded(qint64 nowMs) {
    const bool soonAgain = lastEndMs_ && nowMs - *lastEndMs_ < ReloadAgainAfterMs;
    lastEndMs_ = nowMs;
    return soonAgain ? PageProcessAction::ShowErrorPage : PageProcessAction::ReloadPage;
}
