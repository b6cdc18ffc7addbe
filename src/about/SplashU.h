#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

namespace Ui {
class SplashForm;
}

// The About window; also the borderless start-up screen that closes itself after 8 seconds.
class TSplashForm : public QDialog {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);
    ~TSplashForm() override;

    // Start-up mode: no border, no Close button, 465 x 281, the timer running.
    void EnterStartupMode(QPoint topLeft);
    void LeaveStartupMode();
    // The About command's form: 473 x 392 with its Close button.
    void PrepareAbout(QPoint topLeft);

    // Run when the start-up timer fires, before the window closes (restores stay-on-top).
    std::function<void()> OnSplashTimer;

    QTimer* SplashTimer = nullptr;
    QWidget* Button1 = nullptr;

public slots:
    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void SplashTimerTimer();
    void UpdatePicture();
    std::unique_ptr<Ui::SplashForm> Ui_;
    bool StartupMode = false;
    bool StartupPending = false; // the start-up screen has not gone yet
};
