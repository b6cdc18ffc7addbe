#pragma once

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QWidget>

class TTavikForm;

// The face of the clock: shows the composed skin and hands mouse events to the window.
class TSkinImage : public QWidget {
    Q_OBJECT
public:
    TSkinImage(TTavikForm* form, QWidget* parent);
    // The whole 600 x 533 skin, kept up to date by RedrawDial, at scale image pixels per window
    // pixel; replaced only when the screen asks for pictures of another scale.
    QImage Buffer;
    // Open on Buffer for the window's life: opening a painter for every tick allocates.
    QPainter Canvas;
    void SetScale(int scale);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    TTavikForm* Form;
};

// A centre label that opens its own menu on a right click and lets everything else through to
// the face below, so that the window can still be dragged by it.
class TPopupLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void RightClicked(QPoint globalPos);

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

// Lets a screen reader read the face as a text, its name and description telling what it
// paints; installing it again does nothing.
void InstallFaceAccessibility();

// The fonts of the centre labels.
QFont PalatinoBold(int pixelSize);
QFont ArialBold(int pixelSize);
