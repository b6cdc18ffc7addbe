#include "clock/GoToTimeU.h"

#include "ui_GoToTimeForm.h"
#include "widgets/QtTextU.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

bool HasPlace(const TCityList* data, const TCity* city) {
    return data != nullptr && city != nullptr && PlaceOfCity(*data, *city);
}

// A caption with the city's name after it, its access key kept.
QString WithName(const QString& caption, const TCity* city) {
    return city == nullptr ? caption : caption + QStringLiteral(", ") + ToQ(city->LongName);
}

} // namespace

TGoToTimeForm::TGoToTimeForm(const TPlatform& platform, QWidget* parent)
    : QDialog(parent), Ui_(std::make_unique<Ui::GoToTimeForm>()), Platform(platform) {
    Ui_->setupUi(this);
    setObjectName(QStringLiteral("GoToTimeForm"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont face(QStringLiteral("Arial")); // the face of the window it is opened from
    face.setPixelSize(12);
    setFont(face);
    DateEdit = Ui_->DateEdit;
    TimeEdit = Ui_->TimeEdit;
    CurrentCityRadio = Ui_->CurrentCityRadio;
    MyCityRadio = Ui_->MyCityRadio;
    PreviewLabel = Ui_->PreviewLabel;
    OkButton = Ui_->OkButton;
    CancelButton = Ui_->CancelButton;
    connect(DateEdit, &QLineEdit::textChanged, this, &TGoToTimeForm::EditChange);
    connect(TimeEdit, &QLineEdit::textChanged, this, &TGoToTimeForm::EditChange);
    connect(CurrentCityRadio, &QRadioButton::toggled, this, &TGoToTimeForm::EditChange);
    connect(OkButton, &QPushButton::clicked, this, &TGoToTimeForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

TGoToTimeForm::~TGoToTimeForm() = default;

void TGoToTimeForm::Prepare(const TGoToTimeContext& context) {
    Context = context;
    Chosen.reset();
    const bool currentHasPlace = HasPlace(Context.Data, Context.CurrentCity);
    const bool myHasPlace = HasPlace(Context.Data, Context.MyCity);
    CurrentCityRadio->setText(WithName(QStringLiteral("The &current city"), Context.CurrentCity));
    MyCityRadio->setText(WithName(QStringLiteral("&My City"), Context.MyCity));
    CurrentCityRadio->setEnabled(currentHasPlace);
    MyCityRadio->setEnabled(myHasPlace);
    (currentHasPlace || !myHasPlace ? CurrentCityRadio : MyCityRadio)->setChecked(true);
    const TCity* city = ChosenCity();
    TDateTime local = Context.FaceUtc;
    if (HasPlace(Context.Data, city))
        local = PlaceOfCity(*Context.Data, *city).LocalTime(Context.FaceUtc);
    DateEdit->setText(ToQ(GoToDateText(local, Context.DateStyle, Context.Locale)));
    TimeEdit->setText(ToQ(GoToTimeText(local, Context.TwelveHour, Context.Locale)));
    EditChange();
    DateEdit->setFocus();
    DateEdit->selectAll();
}

const TCity* TGoToTimeForm::ChosenCity() const {
    return MyCityRadio->isChecked() ? Context.MyCity : Context.CurrentCity;
}

TGoToRequest TGoToTimeForm::Request() const {
    TGoToRequest q;
    FromQ(DateEdit->text(), q.Date); // a character the data cannot hold fails the parse
    FromQ(TimeEdit->text(), q.Time);
    q.City = ChosenCity();
    if (HasPlace(Context.Data, q.City))
        q.Place = PlaceOfCity(*Context.Data, *q.City);
    q.DateStyle = Context.DateStyle;
    q.TwelveHour = Context.TwelveHour;
    TDateParts face;
    q.DefaultYear = TryDecodeDate(Context.FaceUtc, face) ? face.Year : 2026;
    q.RealUtc = Platform.Clock->NowUtc();
    return q;
}

void TGoToTimeForm::EditChange() {
    const TGoToOutcome o = CheckGoTo(Request(), Context.Locale);
    const QString text = ToQ(o.Text);
    if (PreviewLabel->text() != text) {
        PreviewLabel->setText(text);
        // The label is named for what it holds; its text is read as the description.
        PreviewLabel->setAccessibleDescription(text);
    }
}

void TGoToTimeForm::OkButtonClick() {
    const TGoToOutcome o = CheckGoTo(Request(), Context.Locale);
    if (!o.Ok) {
        Platform.Messages->Show(this, ToQ(o.Text));
        QWidget* field = o.BadField == TGoToField::Time   ? static_cast<QWidget*>(TimeEdit)
                         : o.BadField == TGoToField::City ? static_cast<QWidget*>(CurrentCityRadio)
                                                          : static_cast<QWidget*>(DateEdit);
        field->setFocus();
        return;
    }
    Chosen = o.Utc;
    accept();
}
