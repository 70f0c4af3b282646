#pragma once

#include <QByteArray>

// A listening exercise's player as older lesson pages embed it (320 × 160 pixels, two seconds
// a round, repeated for ever): a marker runs along a track and changes colour while a 440 Hz
// tone plays, started again with each round.
QByteArray LessonMovie();
