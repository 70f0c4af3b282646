#pragma once

#include <QByteArray>
#include <QSize>

// An uncompressed movie: tags are collected frame by frame, and the header, which holds the
// file's length and the number of frames, is written when the whole is asked for.
class SwfMovie {
public:
    // size in pixels
    SwfMovie(const QSize& size, int framesPerSecond);

    void Add(const QByteArray& tag);
    // Ends the frame in progress.
    void ShowFrame();

    int FrameCount() const { return FFrameCount; }
    QByteArray Bytes() const;

private:
    QSize FSize;
    int FFramesPerSecond;
    int FFrameCount = 0;
    QByteArray FTags;
};
