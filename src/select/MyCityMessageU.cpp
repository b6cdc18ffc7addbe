#include "MyCityMessageU.h"

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
    Ui_->Memo1->setText(QStringLiteral("Now is the time to select \"My City\".\n\n"
                                       "My City is the city in which you reside in, or the one \n"
                                       "you live closest to.\n\n"
                                       "If you cannot find a suitable city, you can add your \n"
                                       "own city later on."));
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
    // The globe of the dial, cut round.
    const QImage dial(QStringLiteral(":/skin/top_large.png"));
    QPainterPath round;
    round.addEllipse(QRectF(8, 10, 92, 92));
    p.setClipPath(round);
    p.drawImage(QRectF(8, 10, 92, 92), dial, QRectF(148, 88, 306, 306));
    p.setClipping(false);
    p.setPen(QPen(QColor(31, 78, 121), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(8, 10, 92, 92));
    // A pin marking one's own place.
    QPainterPath pin;
    pin.moveTo(78, 62);
    pin.cubicTo(62, 40, 64, 14, 84, 12);
    pin.cubicTo(104, 14, 106, 40, 90, 62);
    pin.lineTo(84, 74);
    pin.closeSubpath();
    p.setPen(QPen(QColor(120, 20, 20), 1.5));
    p.setBrush(QColor(210, 45, 40));
    p.drawPath(pin);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(84, 32), 6, 6);
    return img;
}
