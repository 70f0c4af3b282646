#pragma once

#include <QImage>

// Button faces are drawn on olive (128, 128, 0), their transparent colour.
QImage WithOliveTransparent(const QImage& face);
