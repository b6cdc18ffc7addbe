#pragma once

#include "ClockHostU.h"
#include "data/ClockChangesU.h"

#include <QDialog>
#include <memory>
#include <vector>

namespace Ui {
class ClockChangesForm;
}
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

// The coming clock changes of My City and of the cities on the dial, one line each, with how
// each alters the difference to My City.
class TClockChangesForm : public QDialog {
    Q_OBJECT
public:
    explicit TClockChangesForm(TClockHost& host, QWidget* parent = nullptr);
    ~TClockChangesForm() override;

    // Works the lines out from the data and the clock as they are now; the list is touched
    // only when they differ from those shown, so the selection and a screen reader's place stay.
    void Refresh();

    void CloseButtonClick();
    void ChangesTimerTimer();

    // Controls, named as the layout names them.
    QLabel* ChangesLabel = nullptr;
    QListWidget* ChangesListBox = nullptr;
    QPushButton* CloseButton = nullptr;
    QTimer* ChangesTimer = nullptr;

    // What the list shows, in its order.
    std::vector<TClockChangeEntry> Shown;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    std::unique_ptr<Ui::ClockChangesForm> Ui_;
    TClockHost& Host;
    bool Built = false;
};
