#pragma once

#include <QByteArray>

// The start-up movie (480 × 260 pixels, two seconds): the product's name fades and slides in above
// a bar that fills while a row of dots crosses the lower band, changing colour. Needs a
// QGuiApplication (for the fonts).
QByteArray SplashMovie();
