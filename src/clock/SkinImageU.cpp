#include "clock/SkinImageU.h"

#include "clock/FaceLayoutU.h"
#include "clock/TavikU.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QWheelEvent>

namespace {

QAccessibleInterface* SkinImageInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("TSkinImage"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::StaticText);
    return nullptr;
}

} // namespace

void InstallFaceAccessibility() {
    QAccessible::installFactory(&SkinImageInterface); // a second install is ignored
}

QFont PalatinoBold(int pixelSize) {
    QFont f(QStringLiteral("Palatino Linotype"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

QFont ArialBold(int pixelSize) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

TSkinImage::TSkinImage(TTavikForm* form, QWidget* parent) : QWidget(parent), Form(form) {
    setObjectName(QStringLiteral("SkinImage"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetScale(1);
}

void TSkinImage::SetScale(int scale) {
    if (Canvas.isActive())
        Canvas.end();
    Buffer =
        QImage(FaceLayout::SkinWidth * scale, FaceLayout::SkinHeight * scale, QImage::Format_RGB32);
    Buffer.setDevicePixelRatio(scale);
    Buffer.fill(Qt::black);
    Canvas.begin(&Buffer);
}

void TSkinImage::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    const QRect r = e->rect();
    const qreal k = Buffer.devicePixelRatio();
    if (k == 1 && devicePixelRatioF() == 1) {
        p.drawImage(r.topLeft(), Buffer, r);
        return;
    }
    if (k == devicePixelRatioF()) {
        p.drawImage(r, Buffer, QRect(r.topLeft() * k, r.size() * k));
        return;
    }
    // A screen between two scales gets the finer buffer scaled smoothly; a pixel's margin
    // round the part keeps its edges blended with their neighbours, as in a whole repaint.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setClipRect(r);
    const QRect from = r.adjusted(-1, -1, 1, 1) & QRect(QPoint(0, 0), size());
    p.drawImage(from, Buffer,
                QRectF(from.x() * k, from.y() * k, from.width() * k, from.height() * k));
}

void TSkinImage::mousePressEvent(QMouseEvent* e) {
    Form->SkinImageMouseDown(e->button(), e->position().toPoint().x(), e->position().toPoint().y());
}

void TSkinImage::mouseMoveEvent(QMouseEvent* e) {
    Form->SkinImageMouseMove(e->position().toPoint().x(), e->position().toPoint().y());
}

void TSkinImage::mouseReleaseEvent(QMouseEvent*) {
    Form->SkinImageMouseUp();
}

void TSkinImage::wheelEvent(QWheelEvent* e) {
    Form->SkinImageWheel(e->angleDelta(), e->modifiers());
    e->accept();
}

void TPopupLabel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        emit RightClicked(e->globalPosition().toPoint());
        e->accept();
        return;
    }
    e->ignore(); // the face below takes it and starts a drag
}
