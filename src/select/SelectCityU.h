#pragma once

#include "ClockHostU.h"
#include "data/CityListU.h"
#include "widgets/QtListU.h"

#include <QDialog>
#include <memory>

namespace Ui {
class SelectCityForm;
}
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QFrame;

// Chooses the cities on the dial (dial mode, a check list) or My City (a plain list).
class TSelectCityForm : public QDialog {
    Q_OBJECT
public:
    explicit TSelectCityForm(TClockHost& host, QWidget* parent = nullptr);
    ~TSelectCityForm() override;

    // The collections to choose from and the My City to start with.
    void SetCollections(TCityList& data, TCity* myCity);
    void EnterDialMode();
    void EnterMyCityMode();

    bool MyCityMode = false;
    bool TypeAheadEnabled = true;
    bool FirstRun = false;
    TCity* WorkingMyCity = nullptr;

    // Controls, named as the layout names them.
    QLabel* MyCityLabel = nullptr;
    QLineEdit* CityEdit = nullptr;
    QLabel* CityLabel = nullptr;
    QListWidget* CityCheckListBox = nullptr;
    QListWidget* CityListBox = nullptr;
    QFrame* NoteBox = nullptr;
    QPushButton* DeselectButton = nullptr;
    QPushButton* MyCityButton = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void CityEditChange();
    void CityCheckListBoxClick();
    // The keyboard moved to another entry of the check list.
    void CityCheckListBoxMove();
    void CityListBoxClick();
    void MyCityButtonClick();
    void DeselectButtonClick();
    void OkButtonClick();
    void CancelButtonClick();

    // The city of the selected entry in the list of the current mode, or none.
    TCity* SelectedCity() const;

public slots:
    void reject() override;
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void DescribeSelection();
    void SetClientHeight(int height);
    TQtListTarget& CurrentList();
    QString FullName(const TCity* city) const;

    std::unique_ptr<Ui::SelectCityForm> Ui_;
    TClockHost& Host;
    TCityList* Data = nullptr;
    TQtListTarget CheckTarget;
    TQtListTarget ListTarget;
    TQtSearchEdit EditTarget;
    int DesignedMyCityLeft = 0;
    int DesignedOkLeft = 0;
    int DesignedCancelLeft = 0;
    int DesignedGroupHeight = 0;
    int DesignedListHeight = 0;
};
