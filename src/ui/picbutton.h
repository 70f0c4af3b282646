#pragma once

#include <QPixmap>
#include <QRect>
#include <QWidget>

#include <initializer_list>

// A picture button with a face per state. A state without a face of its own shows the up face.
class TPicButton : public QWidget {
    Q_OBJECT
public:
    enum Face { Up, Down, Hot, Disabled, StayDown, UpFocused, FaceCount };

    explicit TPicButton(QWidget* parent = nullptr);
    // Loads a face from a picture whose olive pixels are transparent.
    void setFace(Face face, const QString& picturePath);
    Face currentFace() const;
    // A caption drawn centred over the face, in the widget's font and text colour.
    void setCaption(const QString& caption);
    QString caption() const { return caption_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPixmap faces_[FaceCount];
    QString caption_;
    bool pressed_ = false;
    bool hovered_ = false;
};

struct PicButtonFace {
    TPicButton::Face face;
    const char* picture;
};

// A picture button at place with the given faces.
TPicButton* MakePicButton(QWidget* parent, const QRect& place,
                          std::initializer_list<PicButtonFace> faces);
