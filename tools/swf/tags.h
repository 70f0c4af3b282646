#pragma once

#include "records.h"

#include <QByteArray>
#include <QColor>
#include <QPainterPath>

#include <cstdint>
#include <vector>

enum class TagCode : std::uint16_t {
    End = 0,
    ShowFrame = 1,
    SetBackgroundColor = 9,
    DoAction = 12,
    DefineSound = 14,
    StartSound = 15,
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
// A sound of 16-bit mono samples, stored uncompressed at 5 512, 11 025, 22 050 or 44 100
// samples a second (other rates are refused: the format has no others).
QByteArray DefineSoundTag(std::uint16_t soundId, const std::vector<std::int16_t>& samples,
                          int samplesPerSecond);
// Starts the sound when its frame is shown, unless it is playing already (a looping timeline
// would otherwise start it over itself).
QByteArray StartSoundTag(std::uint16_t soundId);
QByteArray ShowFrameTag();
// Halts the timeline when its frame is shown; there is no other way to play a movie only once.
QByteArray StopActionTag();
QByteArray EndTag();
