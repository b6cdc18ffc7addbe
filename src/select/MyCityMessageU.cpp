#include "select/MyCityMessageU.h"

#include "ui_MyCityMessageForm.h"

#include <QPainter>
#include <QPainterPath>

TMyCityMessageForm::TMyCityMessageForm(QWidget* parent)
    : QDialog(parent), Ui_(std::make_unique<Ui::MyCityMessageForm>()) {
    Ui_->setupUi(this);
    setObjectName(QStringLiteral("MyCityMessageForm"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(395, 184);
    Button1 = Ui_->Button1;
    // The lines that end in a blank run on; the label wraps them to its width.
    const QString text = QStringLiteral("Now is the time to select \"My City\".\n\n"
                                        "My City is the city in which you reside in, or the one \n"
                                        "you live closest to.\n\n"
                                        "If you cannot find a suitable city, you can add your \n"
                                        "own city later on.");
    Ui_->Memo1->setWordWrap(true);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    Ui_->Memo1->setFont(f);
    Ui_->Memo1->setText(QString(text).replace(QStringLiteral(" \n"), QStringLiteral(" ")));
    Ui_->Image1->setPixmap(QPixmap::fromImage(MyCityPicture()));
    connect(Ui_->Button1, &QPushButton::clicked, this, &QDialog::accept);
}

TMyCityMessageForm::~TMyCityMessageForm() = default;

void TMyCityMessageForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Ui_->Button1->setFocus();
}

QImage MyCityPicture() {
    QImage img(120, 105, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A small globe lit from the top left, with a few meridians and parallels.
    const QRectF globe(6, 14, 86, 86);
    QRadialGradient sea(QPointF(34, 38), 70);
    sea.setColorAt(0, QColor(170, 214, 245));
    sea.setColorAt(0.6, QColor(74, 140, 200));
    sea.setColorAt(1, QColor(31, 78, 121));
    p.setPen(QPen(QColor(31, 78, 121), 2));
    p.setBrush(sea);
    p.drawEllipse(globe);
    QPainterPath clip;
    clip.addEllipse(globe);
    p.setClipPath(clip);
    p.setBrush(QColor(132, 176, 96));
    p.setPen(QPen(QColor(92, 130, 70), 1));
    QPainterPath land;
    land.moveTo(22, 40);
    land.cubicTo(30, 26, 52, 24, 58, 36);
    land.cubicTo(62, 46, 48, 50, 50, 62);
    land.cubicTo(52, 76, 40, 86, 34, 74);
    land.cubicTo(30, 64, 18, 58, 22, 40);
    land.moveTo(64, 56);
    land.cubicTo(74, 50, 90, 58, 86, 72);
    land.cubicTo(82, 84, 68, 84, 66, 74);
    land.closeSubpath();
    p.drawPath(land);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    for (double w : {0.35, 0.7})
        p.drawEllipse(QRectF(49 - 43 * w, 14, 86 * w, 86));
    p.drawLine(QPointF(49, 14), QPointF(49, 100));
    for (double y : {35.0, 57.0, 79.0})
        p.drawLine(QPointF(6, y), QPointF(92, y));
    p.setClipping(false);
    // A pin on one's own place.
    QPainterPath pin;
    pin.moveTo(84, 66);
    pin.cubicTo(74, 50, 68, 40, 68, 30);
    pin.arcTo(QRectF(68, 14, 32, 32), 180, -180);
    pin.cubicTo(100, 40, 94, 50, 84, 66);
    p.setPen(QPen(QColor(120, 20, 20), 1.5));
    p.setBrush(QColor(210, 45, 40));
    p.drawPath(pin);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(84, 30), 6, 6);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(QPointF(84, 68), 7, 2.5);
    return img;
}
