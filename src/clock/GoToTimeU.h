#pragma once

#include "clock/GoToTimeRulesU.h"
#include "widgets/PlatformU.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class GoToTimeForm;
}
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What the Go to Time dialog opens with.
struct TGoToTimeContext {
    const TCityList* Data = nullptr;
    const TCity* CurrentCity = nullptr;
    const TCity* MyCity = nullptr;
    TDateTime FaceUtc = 0; // the instant the face shows: the edits open with it
    int DateStyle = 0;
    bool TwelveHour = false;
    TLocaleFacts Locale;
};

// "Go to Time": a date and time in the current city or in My City, and the face shows that
// instant. The dialog only names the instant; the clock window moves its face.
class TGoToTimeForm : public QDialog {
    Q_OBJECT
public:
    TGoToTimeForm(const TPlatform& platform, QWidget* parent = nullptr);
    ~TGoToTimeForm() override;

    // Fills the edits with the face's date and time in the current city (My City when the
    // current city has no place) and forgets any earlier choice.
    void Prepare(const TGoToTimeContext& context);
    // The instant Go chose; nothing before Go or after Cancel.
    std::optional<TDateTime> ChosenUtc() const { return Chosen; }

    QLineEdit* DateEdit = nullptr;
    QLineEdit* TimeEdit = nullptr;
    QRadioButton* CurrentCityRadio = nullptr;
    QRadioButton* MyCityRadio = nullptr;
    QLabel* PreviewLabel = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // Handlers, named after their controls.
    void EditChange();
    void OkButtonClick();

private:
    TGoToRequest Request() const;
    const TCity* ChosenCity() const;

    std::unique_ptr<Ui::GoToTimeForm> Ui_;
    TPlatform Platform;
    TGoToTimeContext Context;
    std::optional<TDateTime> Chosen;
};
