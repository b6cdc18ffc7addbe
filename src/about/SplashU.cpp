#include "about/SplashU.h"

#include "ui_SplashForm.h"

#include <QPainter>
#include <QPushButton>

TSplashForm::TSplashForm(QWidget* parent)
    : QDialog(parent), Ui_(std::make_unique<Ui::SplashForm>()) {
    Ui_->setupUi(this);
    setObjectName(QStringLiteral("SplashForm"));
    Button1 = Ui_->Button1;
    connect(Ui_->Button1, &QPushButton::clicked, this, &QDialog::accept);

    QFont title(QStringLiteral("Palatino Linotype"));
    title.setPixelSize(26);
    title.setBold(true);
    Ui_->ProgramNameLabel->setFont(title);
    QPalette pal = Ui_->ProgramNameLabel->palette();
    pal.setColor(QPalette::WindowText, QColor(39, 100, 146));
    Ui_->ProgramNameLabel->setPalette(pal);
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(11);
    Ui_->LegalLabel->setFont(small);
    Ui_->VersionLabel->setFont(small);
    Ui_->VersionLabel->setText(QStringLiteral("The world clock for your desktop, version ") +
                               QStringLiteral(TAVIK_VERSION));

    SplashTimer = new QTimer(this);
    SplashTimer->setObjectName(QStringLiteral("SplashTimer"));
    SplashTimer->setInterval(8000);
    SplashTimer->setSingleShot(true);
    connect(SplashTimer, &QTimer::timeout, this, &TSplashForm::SplashTimerTimer);
}

TSplashForm::~TSplashForm() = default;

void TSplashForm::EnterStartupMode(QPoint topLeft) {
    StartupMode = true;
    Ui_->Button1->hide();
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(465, 281);
    move(topLeft);
    StartupPending = true;
    SplashTimer->start();
}

void TSplashForm::LeaveStartupMode() {
    SplashTimer->stop();
    StartupMode = false;
    StartupPending = false;
}

void TSplashForm::PrepareAbout(QPoint topLeft) {
    SplashTimer->stop(); // the start-up screen's timer must never close the About window
    Ui_->Button1->show();
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(473, 392);
    move(topLeft);
}

void TSplashForm::SplashTimerTimer() {
    if (!StartupMode)
        return;
    accept();
}

void TSplashForm::done(int result) {
    // However the start-up screen goes (its timer, Escape), what the timer does is done once.
    if (StartupMode && StartupPending) {
        StartupPending = false;
        SplashTimer->stop();
        if (OnSplashTimer)
            OnSplashTimer();
    }
    QDialog::done(result);
}

void TSplashForm::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    UpdatePicture();
}

void TSplashForm::UpdatePicture() {
    // The dial of the clock itself, scaled to the room there is.
    const QImage dial(QStringLiteral(":/skin/top_large.png"));
    const QSize room = Ui_->Image1->size();
    if (dial.isNull() || room.width() < 10 || room.height() < 10)
        return;
    const QImage part = dial.copy(60, 0, 480, 292);
    Ui_->Image1->setPixmap(
        QPixmap::fromImage(part.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}
