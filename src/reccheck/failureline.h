#pragma once

#include <QString>

// The line the failure page shows under its picture: what the verdict found, in the student's
// words. Empty for a pass and for codes the engine does not give.
QString FailureLine(int verdictCode);

// The failure page's line when the sound system stopped during the check.
QString SoundSystemStoppedLine();
