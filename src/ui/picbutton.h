#pragma once

#include <QPixmap>
#include <QWidget>

// A picture button with a face per state. A state without a face of its own shows the up face.
class TPicButton : public QWidget {
    Q_OBJECT
public:
    enum Face { Up, Down, Hot, Disabled, StayDown, UpFocused, FaceCount };

    explicit TPicButton(QWidget* parent = nullptr);
    // Loads a face from a picture whose olive pixels are transparent.
    void setFace(Face face, const QString& picturePath);
    Face currentFace() const;

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
    bool pressed_ = false;
    bool hovered_ = false;
};
