#pragma once

#include "records.h"

#include <QByteArray>
#include <QColor>
#include <QPainterPath>

#include <cstdint>

enum class TagCode : std::uint16_t {
    End = 0,
    ShowFrame = 1,
    SetBackgroundColor = 9,
    DoAction = 12,
    PlaceObject2 = 26,
    DefineShape3 = 32,
};

// Each function gives one whole tag: its header (code and length) and its body.
QByteArray SetBackgroundColorTag(const QColor& color);
// A shape of path (in pixels, about the shape's own origin) in one solid colour with alpha.
QByteArray DefineShapeTag(std::uint16_t shapeId, const QPainterPath& path, const QColor& fill);
// Puts the shape on the display list at depth.
QByteArray PlaceObjectTag(std::uint16_t depth, std::uint16_t shapeId, const Placement& placement,
                          const ColorTransform& colors);
// Changes where and in which colours the shape already at depth is shown.
QByteArray MoveObjectTag(std::uint16_t depth, const Placement& placement,
                         const ColorTransform& colors);
QByteArray ShowFrameTag();
// Halts the timeline when its frame is shown; there is no other way to play a movie only once.
QByteArray StopActionTag();
QByteArray EndTag();
