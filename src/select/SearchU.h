#pragma once

#include "ClockHostU.h"
#include "data/CityListU.h"
#include "widgets/LocaleSortU.h"
#include "widgets/QtComboU.h"

#include <QDialog>
#include <memory>
#include <vector>

namespace Ui {
class SearchForm;
}
class QComboBox;
class QLineEdit;
class QListView;
class QStringListModel;
class QPushButton;

// Finds cities by country, state, airport, offset and words of their names; "Show" puts the
// chosen one in the centre of the dial and on its ring.
class TSearchForm : public QDialog {
    Q_OBJECT
public:
    explicit TSearchForm(TClockHost& host, QWidget* parent = nullptr);
    ~TSearchForm() override;

    void SetCollections(TCityList& data);
    // Refills the filter lists, clears keywords and results, and searches again.
    void ResetSearch();
    // Reads the filters and fills the result list.
    void RunSearch();

    // Controls, named as the layout names them.
    QComboBox* CountryComboBox = nullptr;
    QComboBox* StateComboBox = nullptr;
    QComboBox* AirportComboBox = nullptr;
    QComboBox* UTCComboBox = nullptr;
    QLineEdit* KeywordEdit = nullptr;
    QPushButton* Button2 = nullptr;
    QListView* CityListBox = nullptr;
    QPushButton* ShowButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void CountryComboBoxClick();
    void StateComboBoxClick();
    void AirportComboBoxClick();
    void UTCComboBoxClick();
    void KeywordEditChange();
    void CountryComboBoxExit();
    void StateComboBoxExit();
    void AirportComboBoxExit();
    void Button2Click();
    void CityListBoxClick();
    void ShowButtonClick();
    void CancelButtonClick();

    // The city of the selected result, or none.
    TCity* SelectedCity() const;
    // The lines of the result list and the city of each.
    QStringList ResultTexts() const;
    TCity* ResultCity(int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Typing the whole name of an entry chooses it, as picking it from the list would.
    void FilterListEdited(TQtComboTarget& list, void (TSearchForm::*click)());
    void LeaveFilterList(TQtComboTarget& list, void (TSearchForm::*click)());
    // The line whose text the field shows (an airport's code names it too); -1 for none.
    int FindFilterEntry(const TQtComboTarget& list, const QString& text) const;
    // Records of the lines, none when one is gone from its collection meanwhile.
    const TCountry* SelectedCountry() const;
    const TState* SelectedState() const;
    const TAirport* SelectedAirport() const;
    double SelectedOffset() const;

    std::unique_ptr<Ui::SearchForm> Ui_;
    TClockHost& Host;
    TCityList* Data = nullptr;
    TQtComboTarget CountryTarget;
    TQtComboTarget StateTarget;
    TQtComboTarget AirportTarget;
    TQtComboTarget UTCTarget;
    QStringListModel* ResultModel = nullptr;
    TLocaleOrderCache ResultOrder;
    // The cities of the result lines, row by row.
    std::vector<TCity*> Results;
    // What the filter lists were filled from, and whether a choice has narrowed them since.
    const TCityList* FilledData = nullptr;
    std::uint64_t FilledFingerprint = 0;
    bool FiltersNarrowed = false;
};
