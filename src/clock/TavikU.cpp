#include "clock/TavikU.h"

#include "clock/CentreTextU.h"
#include "clock/CityLabelU.h"
#include "clock/DamagedStartU.h"
#include "clock/FaceChecksU.h"
#include "clock/FaceLayoutU.h"
#include "clock/SkinU.h"
#include "clock/WindowPlacementU.h"
#include "widgets/PlatformChoiceU.h"
#include "widgets/QtTextU.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

using namespace FaceLayout;

// The locale's texts, where the data's code page can hold them.
TLocaleFacts SystemLocaleFacts() {
    TLocaleFacts f;
    const QLocale l;
    auto ansi = [](const QString& s, std::string& into) {
        std::string a;
        if (!s.isEmpty() && FromQ(s, a))
            into = a;
    };
    if (l.decimalPoint().size() == 1 && l.decimalPoint().at(0).unicode() < 128)
        f.DecimalSeparator = static_cast<char>(l.decimalPoint().at(0).unicode());
    for (int d = 1; d <= 7; ++d) {
        ansi(l.dayName(d, QLocale::ShortFormat), f.ShortDayNames[static_cast<std::size_t>(d - 1)]);
        ansi(l.dayName(d, QLocale::LongFormat), f.LongDayNames[static_cast<std::size_t>(d - 1)]);
    }
    for (int m = 1; m <= 12; ++m) {
        ansi(l.monthName(m, QLocale::ShortFormat),
             f.ShortMonthNames[static_cast<std::size_t>(m - 1)]);
        ansi(l.monthName(m, QLocale::LongFormat),
             f.LongMonthNames[static_cast<std::size_t>(m - 1)]);
    }
    // Qt writes months with capitals; the pattern language here uses m for them.
    QString longDate = l.dateFormat(QLocale::LongFormat);
    longDate.replace(QLatin1Char('M'), QLatin1Char('m'));
    ansi(longDate, f.LongDateFormat);
    return f;
}

QString Q(const std::string& ansi) {
    return ToQ(ansi);
}

QString HintText(const TCityLabelPlan& plan) {
    return Q(CityLabelHint(plan)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool IsMenuKey(const QKeyEvent* e) {
    return e->key() == Qt::Key_Menu ||
           (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier);
}

} // namespace

// ---------------------------------------------------------------------------------------------

TTavikForm::TTavikForm(const TPlatform& platform, const TSkin& skin, QWidget* parent)
    : QMainWindow(parent), Platform_(platform), Skin(skin) {
    InstallFaceAccessibility();
    Locations.AddListener(this);
    PlacesItself = WindowsPlaceThemselves(QGuiApplication::platformName().toStdString());
    setObjectName(QStringLiteral("TavikForm"));
    setWindowTitle(QStringLiteral("Tavik Ravorudevu"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    CreateControls();
    CreateMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize); // only FitClientSize changes the size
    move(StartLeft, StartTop);

    const QString dir = Platform_.ProgramDir;
    for (TFileDialogSettings* d : {&OpenDialog, &SaveDialog}) {
        d->DefaultExt = QStringLiteral("tvk");
        d->InitialDir = dir;
        d->FileName = dir + QStringLiteral("user.tvk");
        d->Filter = QStringLiteral("Tavik Data File (*.tvk)|*.tvk");
    }
    SaveDialog.OverwritePrompt = true;

    Locale = SystemLocaleFacts();
    TimeFormat = Locale.LongTimeFormat;
    DateFormat = Locale.ShortDateFormat;

    if (!LoadCityList(dir + QStringLiteral("user.tvk"))) {
        EndRequested_ = true;
        return;
    }
    ComputeCurrentCityTime();
    LocaleLongDateFormat = Locale.LongDateFormat;
    LoadPreferences();
    SyncViewMenuChecks();
    Dragging = false;
    CityListLoaded = false;
    ResizeAllowed = false;
    Data.Modified = StartedFromAnotherList;
    PopupCountry = nullptr;
    PopupState = nullptr;
    PopupCity = nullptr;
    PopupAirport = nullptr;

    TavikTimer = new QTimer(this);
    TavikTimer->setObjectName(QStringLiteral("TavikTimer"));
    TavikTimer->setInterval(1000);
    TavikTimer->setTimerType(Qt::PreciseTimer);
    connect(TavikTimer, &QTimer::timeout, this, &TTavikForm::RedrawDial);
    // Ticking just after each whole second keeps the seconds on the face in step with the clock.
    const TTimeParts now = DecodeTime(Platform_.Clock->NowUtc());
    QTimer::singleShot(1000 - now.MSec + 5, Qt::PreciseTimer, this, [this] {
        RedrawDial();
        TavikTimer->start();
    });
}

TTavikForm::~TTavikForm() = default;

QLabel* TTavikForm::NewLabel(const char* name, const QFont& font) {
    auto* l = new QLabel(SkinImage);
    l->setObjectName(QLatin1String(name));
    l->setFont(font);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, TextColour());
    l->setPalette(pal);
    return l;
}

void TTavikForm::CreateControls() {
    SkinImage = new TSkinImage(this, this);
    SkinImage->setFixedSize(SkinWidth, SkinHeight);
    SkinImage->setAccessibleName(QStringLiteral("Clock face"));
    // The keyboard's home in the window: Tab goes on to the city labels, the Menu key opens the
    // window's menu, and a screen reader reads the place, time and date from it.
    SkinImage->setFocusPolicy(Qt::StrongFocus);
    setCentralWidget(SkinImage);

    CurrentCityTimeLabel = NewLabel("CurrentCityTimeLabel", PalatinoBold(TimePixels));
    CurrentCityTimeLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    CurrentCityDateLabel = NewLabel("CurrentCityDateLabel", ArialBold(DatePixels));
    CurrentCityLabel = NewLabel("CurrentCityLabel", CaptionFont());
    CurrentCityLabel->hide(); // painted onto the skin instead
    CurrentCountryLabel = NewLabel("CurrentCountryLabel", CaptionFont());
    CurrentCountryLabel->hide();

    for (TPopupLabel** l : {&CurrentStateLabel, &CurrentAirportLabel}) {
        *l = new TPopupLabel(SkinImage);
        // Its own menu opens on the press; the window's menu must not follow it.
        (*l)->setContextMenuPolicy(Qt::PreventContextMenu);
        (*l)->setFont(PalatinoBold(SecondLinePixels));
        QPalette pal = (*l)->palette();
        pal.setColor(QPalette::WindowText, TextColour());
        (*l)->setPalette(pal);
    }
    CurrentStateLabel->setObjectName(QStringLiteral("CurrentStateLabel"));
    CurrentStateLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    CurrentAirportLabel->setObjectName(QStringLiteral("CurrentAirportLabel"));
    connect(CurrentStateLabel, &TPopupLabel::RightClicked, this, [this](QPoint at) {
        PopupState = Data.CurrentCity ? Data.States.FindById(Data.CurrentCity->StateId) : nullptr;
        if (StatePopupMenu)
            StatePopupMenu->popup(at);
    });
    connect(CurrentAirportLabel, &TPopupLabel::RightClicked, this, [this](QPoint at) {
        if (AirportPopupMenu)
            AirportPopupMenu->popup(at);
    });

    DifferenceMyCityLabel = NewLabel("DifferenceMyCityLabel", PalatinoBold(DifferencePixels));
    DifferenceMyCityLabel->hide();

    DeltaImage = new QLabel(SkinImage);
    DeltaImage->setObjectName(QStringLiteral("DeltaImage"));
    DeltaImage->setAccessibleName(QStringLiteral("Difference to My City"));
    DeltaImage->setPixmap(QPixmap::fromImage(Skin.ForPixelRatio(devicePixelRatioF()).Delta));
    DeltaImage->setGeometry(DeltaBox.Left, DeltaBox.Top, DeltaBox.Width, DeltaBox.Height);
    DeltaImage->setToolTipDuration(HintPause);
    // Moves over the sign reach the face too, where they show the difference text.
    DeltaImage->setMouseTracking(true);
    DeltaImage->hide();

    SunImage = new QLabel(SkinImage);
    SunImage->setObjectName(QStringLiteral("SunImage"));
    SunImage->setAccessibleName(QStringLiteral("Daytime"));
    SunImage->setGeometry(SunBox.Left, SunBox.Top, SunBox.Width, SunBox.Height);
    SunImage->hide(); // painted onto the skin
    MoonImage = new QLabel(SkinImage);
    MoonImage->setObjectName(QStringLiteral("MoonImage"));
    MoonImage->setAccessibleName(QStringLiteral("Night"));
    MoonImage->setGeometry(MoonBox.Left, MoonBox.Top, MoonBox.Width, MoonBox.Height);
    MoonImage->hide();
}

// --- The city list ---------------------------------------------------------------------------

bool TTavikForm::LoadCityList(const QString& fileName) {
    QString name = fileName;
    if (!CanOpenForReading(name.toStdString())) {
        if (!Platform_.Files->Open(this, OpenDialog)) {
            if (!CityListLoaded) {
                Platform_.Messages->Show(this, QStringLiteral("You must select a .tvk file"));
                return false;
            }
            return true;
        }
        name = OpenDialog.FileName;
    }
    CityListLoaded = true;
    CurrentPlace = {};
    MyPlace = {};
    try {
        LoadCityListFile(name.toStdString(), Data);
    } catch (const EStreamError& e) {
        // What could be read is only a part: going on with it would soon save it over the file.
        return StartFromAnotherList(name, e);
    }
    return true;
}

bool TTavikForm::StartFromAnotherList(const QString& damaged, const EStreamError& e) {
    const TDamagedStart plan = PlanDamagedStart(QDir::toNativeSeparators(damaged).toStdString(),
                                                e.what(), Platform_.DefaultWorld.toStdString());
    QStringList buttons;
    for (const std::string& b : plan.Buttons)
        buttons.append(QString::fromStdString(b));
    const int chosen = Platform_.Messages->Choose(this, QString::fromStdString(plan.Text), buttons);
    const TStartSource source = chosen >= 0 && chosen < static_cast<int>(plan.Sources.size())
                                    ? plan.Sources[static_cast<std::size_t>(chosen)]
                                    : TStartSource::Quit;
    if (source == TStartSource::Quit)
        return false;
    const QString file = QString::fromStdString(plan.FileOf(source));
    Data.MyCity = nullptr;
    Data.CurrentCity = nullptr;
    try {
        LoadCityListFile(file.toStdString(), Data);
    } catch (const EStreamError& again) {
        ShowFileError(again, file);
        return false;
    }
    // Not yet what the damaged file holds: closing asks whether to save it there.
    StartedFromAnotherList = true;
    return true;
}

bool TTavikForm::SaveCityList(const QString& fileName) {
    try {
        SaveCityListFile(fileName.toStdString(), Data);
    } catch (const EStreamError& e) {
        ShowFileError(e, fileName);
        return false;
    }
    return true;
}

void TTavikForm::ShowFileError(const EStreamError& e, const QString& fileName) {
    Platform_.Messages->Show(this, QString::fromUtf8(e.what()), QString(),
                             QDir::toNativeSeparators(fileName));
}

void TTavikForm::closeEvent(QCloseEvent* e) {
    if (!SaveChangesFirst()) {
        e->ignore();
        return;
    }
    SavePreferences();
    e->accept();
    // The program ends with this window, whatever else is open or waiting.
    EndRequested_ = true;
    if (Companions != nullptr)
        Companions->CloseAll();
}

// --- The tick --------------------------------------------------------------------------------

TPlace TTavikForm::PlaceOf(const TCity& city, TPlaceLookup& l) {
    // The record found last time still stands at its index with its id: records are only
    // appended or deleted, so none with that id can have come before it.
    if (l.City == &city && l.StateId == city.StateId && l.CountryId == city.CountryId) {
        if (l.Place.State != nullptr && l.Index < Data.States.Count() &&
            &Data.States.Items(l.Index) == l.Place.State && l.Place.State->Id() == l.StateId)
            return l.Place;
        if (l.Place.Country != nullptr && l.Index < Data.Countries.Count() &&
            &Data.Countries.Items(l.Index) == l.Place.Country &&
            l.Place.Country->Id() == l.CountryId)
            return l.Place;
    }
    l = TPlaceLookup{};
    l.City = &city;
    l.StateId = city.StateId;
    l.CountryId = city.CountryId;
    auto find = [&l](const auto& items, std::int32_t id, auto*& into) {
        int i = 0;
        for (const auto* item : items) {
            if (item->Id() == id) {
                into = item;
                l.Index = i;
                return;
            }
            ++i;
        }
    };
    if (city.StateId != 0)
        find(Data.States, city.StateId, l.Place.State);
    else if (city.CountryId != 0)
        find(Data.Countries, city.CountryId, l.Place.Country);
    return l.Place;
}

void TTavikForm::ComputeCurrentCityTime() {
    const TDateTime now = Platform_.Clock->NowUtc();
    TDateParts check;
    if (TryDecodeDate(now, check))
        UtcNow = now;
    if (Data.CurrentCity == nullptr)
        return;
    const TPlace place = PlaceOf(*Data.CurrentCity, CurrentPlace);
    if (!place)
        return;
    CurrentLocalTime = place.LocalTimeWholeHours(UtcNow);
    CurrentExactLocalTime = place.LocalTime(UtcNow);
    CurrentUtcOffset = place.UTCOffset();
}

void TTavikForm::RedrawDial() {
    // A screen of another pixel ratio (the window moved, the desktop's scale changed) takes
    // pictures of its own, composed afresh.
    const TSkin& pictures = Skin.ForPixelRatio(SkinImage->devicePixelRatioF());
    if (&pictures != Pictures) {
        Pictures = &pictures;
        if (SkinImage->Buffer.devicePixelRatio() != pictures.Scale)
            SkinImage->SetScale(pictures.Scale);
        SceneShown = false;
    }
    ComputeCurrentCityTime();
    if (LabelsBuilt && LabelCheckMinute(UtcNow) != LabelsCheckedMinute)
        KeepCityLabelsCurrent();
    const TTimeParts local = DecodeTime(CurrentLocalTime);
    const TTimeParts utc = DecodeTime(UtcNow);

    // The next scene, from the state; only where it differs from the one shown is the skin
    // recomposed, and only that is handed to the screen.
    TDialScene s = ShownScene;
    s.AnalogClock = Options.AnalogClock;
    s.ShowSeconds = Options.ShowSeconds;
    s.ShowCities = Options.ShowCities;
    s.ShowCountryName = Options.ShowCountryName;
    s.Second = utc.Second;
    s.Hour = local.Hour;
    s.Minute = local.Minute;
    s.HasCurrentCity = Data.CurrentCity != nullptr;
    s.CityCaption = CurrentCityLabel->text();
    s.CityPos = CurrentCityLabel->pos();
    s.CountryCaption = CurrentCountryLabel->text();
    s.CountryPos = CurrentCountryLabel->pos();
    s.CaptionFont = CurrentCityLabel->font();
    s.Daytime = IsDaytime(Options, CurrentLocalTime);
    s.SunPos = SunImage->pos();
    s.MoonPos = MoonImage->pos();
    if (!SceneShown || s.CityCaption != ShownScene.CityCaption || s.CityPos != ShownScene.CityPos ||
        s.CountryCaption != ShownScene.CountryCaption || s.CountryPos != ShownScene.CountryPos ||
        s.CaptionFont != ShownScene.CaptionFont)
        LayOutCaptions(s);
    LastRepainted = TDirtyRects();
    if (SceneShown) {
        RepaintDial(SkinImage->Canvas, ShownScene, s, pictures, Dial, LastRepainted);
    } else {
        PaintDial(SkinImage->Canvas, s, pictures, Dial);
        LastRepainted.Add(ComposedArea(s, pictures));
    }
    ShownScene = s;
    SceneShown = true;

    UpdateTimeTexts();
    UpdateDifference();
    UpdateFaceSpeech();
    const int timeLeft = SkinWidth / 2 - CurrentCityTimeLabel->width() / 2;
    if (CurrentCityTimeLabel->x() != timeLeft)
        CurrentCityTimeLabel->move(timeLeft, CurrentCityTimeLabel->y());
    const int differenceLeft = SkinWidth / 2 - DifferenceMyCityLabel->width() / 2;
    if (DifferenceMyCityLabel->x() != differenceLeft)
        DifferenceMyCityLabel->move(differenceLeft, DifferenceMyCityLabel->y());

    if (Data.CurrentCity == nullptr) {
        for (QLabel* l :
             {static_cast<QLabel*>(CurrentStateLabel), static_cast<QLabel*>(CurrentAirportLabel),
              CurrentCityLabel, CurrentCountryLabel, CurrentCityDateLabel})
            if (!l->text().isEmpty())
                l->clear();
        DateShown = false;
    }
    // Every rectangle costs the window's repaint bookkeeping: they go as one. Those of a tick
    // lie close together; the rare scattered ones are no more than the rim once a minute.
    if (LastRepainted.Count() > 0)
        SkinImage->update(LastRepainted.Bounds());
}

void TTavikForm::UpdateTimeTexts() {
    // A hidden caption is written once after each refresh, so that it follows a new format, and
    // not on every tick; showing it refreshes the dial.
    if (CurrentCityTimeLabel->isVisibleTo(this) || ShownTime.empty()) {
        std::string time = FormatDateTimeText(TimeFormat, CurrentLocalTime, Locale);
        if (time != ShownTime) {
            ShownTime = std::move(time);
            CurrentCityTimeLabel->setText(Q(ShownTime));
        }
    }
    // The date changes with the day only.
    const double day = std::trunc(CurrentLocalTime);
    if (Data.CurrentCity != nullptr && CurrentCityDateLabel->isVisibleTo(this) &&
        (!DateShown || day != ShownDateDay || Options.DateStyle != ShownDateStyle)) {
        const QString date = Q(FormatCentreDate(CurrentLocalTime, Options.DateStyle, Locale));
        if (CurrentCityDateLabel->text() != date) {
            CurrentCityDateLabel->setText(date);
            CurrentCityDateLabel->adjustSize();
        }
        DateShown = true;
        ShownDateDay = day;
        ShownDateStyle = Options.DateStyle;
    }
}

void TTavikForm::UpdateFaceSpeech() {
    // Made again when the minute, the place or the difference changes; the seconds are left
    // out, or a screen reader would be handed a new text every second. It tells the exact time,
    // which the face shows as whole hours and the offset's fraction mark.
    const double minute = std::floor(CurrentExactLocalTime * 1440.0 + 1e-6);
    if (SpeechShown && minute == ShownSpeechMinute)
        return;
    std::string difference;
    FromQ(DifferenceMyCityLabel->text(), difference); // made from the data's own text
    const TFaceSpeech speech =
        FaceSpeech(Data, Data.CurrentCity, CurrentExactLocalTime, Options.TimeStyle == 0,
                   Options.DateStyle, difference, Locale);
    SpeechShown = true;
    ShownSpeechMinute = minute;
    const QString name = Q(speech.Name), description = Q(speech.Description);
    if (SkinImage->accessibleName() != name)
        SkinImage->setAccessibleName(name);
    if (SkinImage->accessibleDescription() != description)
        SkinImage->setAccessibleDescription(description);
}

void TTavikForm::ForgetShownTexts() {
    SpeechShown = false;
    ShownTime.clear();
    DateShown = false;
    DifferenceShown = false;
}

void TTavikForm::UpdateDifference() {
    // The text follows from the two cities, their names, their offsets and which of their
    // times is ahead; it is made again only when one of these changes.
    TDifferenceSource now;
    now.Current = Data.CurrentCity;
    now.My = Data.MyCity;
    now.CurrentOffset = CurrentUtcOffset;
    now.AnalogClock = Options.AnalogClock != 0;
    if (now.Current != nullptr && now.My != nullptr && now.My != now.Current) {
        const TPlace place = PlaceOf(*now.My, MyPlace);
        if (place) {
            now.MyPlaceFound = true;
            now.MyOffset = place.UTCOffset();
            now.Comparison = CompareTimes(CurrentExactLocalTime, place.LocalTime(UtcNow));
        }
    }
    if (DifferenceShown && DifferenceKeyHolds(ShownDifference, now))
        return;
    RememberDifference(ShownDifference, now);
    DifferenceShown = true;
    SpeechShown = false;

    const std::string text = DifferenceText(Data, Data.CurrentCity, Data.MyCity, CurrentUtcOffset,
                                            CurrentExactLocalTime, UtcNow);
    const QString q = Q(text);
    if (DifferenceMyCityLabel->text() != q) {
        DifferenceMyCityLabel->setText(q);
        DifferenceMyCityLabel->adjustSize();
    }
    const QString hint = Options.AnalogClock ? QString() : q;
    if (DeltaImage->toolTip() != hint)
        DeltaImage->setToolTip(hint);
    if (DeltaImage->isHidden() != text.empty())
        DeltaImage->setVisible(!text.empty());
}

namespace {

// Sets a caption and sizes its label to it, when the text is new.
void SetCaption(QLabel* label, const QString& text) {
    if (label->text() == text)
        return;
    label->setText(text);
    label->adjustSize();
}

} // namespace

void TTavikForm::UpdateCentreCaptions() {
    if (Data.CurrentCity == nullptr)
        return;
    const TCentreCaptions c = CentreCaptions(Data, *Data.CurrentCity);
    PopupCountry = c.PopupCountry;
    PopupAirport = c.PopupAirport;
    SetCaption(CurrentAirportLabel, Q(c.Airport));
    SetCaption(CurrentCityLabel, Q(c.City));
    SetCaption(CurrentCountryLabel, Q(c.Country));
    CurrentCountryLabel->move(CaptionsRight - CurrentCountryLabel->width(),
                              CurrentCountryLabel->y());
    SetCaption(CurrentStateLabel, Q(c.State));
    CurrentStateLabel->move(CaptionsRight - CurrentStateLabel->width(), CurrentStateLabel->y());
}

void TTavikForm::BuildCityLabels() {
    BuildCityLabelsFrom(
        BuildCityLabelLayout(Data, Options, CurrentLocalTime, UtcNow, TimeFormat, Locale));
}

TCityLabelsSource TTavikForm::CurrentLabelsSource() const {
    return CityLabelsSourceOf(Options, TimeFormat, Data.CurrentCity, UtcNow, CurrentLocalTime);
}

void TTavikForm::BuildCityLabelsFrom(TCityLabelLayout layout) {
    // The keyboard stays on its city if it is still on the dial, else it goes back to the face.
    int focusedId = 0;
    for (TCityLabel* l : CityLabels)
        if (l->hasFocus())
            focusedId = l->Id();
    for (TCityLabel* l : CityLabels)
        delete l;
    CityLabels.clear();
    LabelLayout = std::move(layout);
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPixelSize(Options.SmallCityFont ? SmallCityLabelPixels : CityLabelPixels);
    CityLabels.reserve(LabelLayout.Labels.size());
    for (const TCityLabelPlan& plan : LabelLayout.Labels) {
        auto* l = new TCityLabel(SkinImage, this, plan.Id);
        l->setFont(font);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, plan.IsDay ? QColor(255, 255, 95) : QColor(51, 51, 51));
        l->setPalette(pal);
        l->setText(Q(plan.Caption));
        l->setToolTip(HintText(plan));
        l->HintSource = [this](int id) { return LiveCityLabelHint(id); };
        l->setToolTipDuration(HintPause);
        l->adjustSize();
        if (plan.FixedWidth > 0)
            l->resize(plan.FixedWidth, l->height());
        l->move(plan.Left, plan.Top);
        l->show();
        CityLabels.push_back(l);
    }
    if (focusedId != 0) {
        auto kept = std::find_if(CityLabels.begin(), CityLabels.end(),
                                 [focusedId](const TCityLabel* l) { return l->Id() == focusedId; });
        if (kept != CityLabels.end())
            (*kept)->setFocus(Qt::OtherFocusReason);
        else
            SkinImage->setFocus(Qt::OtherFocusReason);
    }
    LabelsBuiltFrom = CurrentLabelsSource();
    LabelsBuilt = true;
    LabelsCheckedMinute = LabelCheckMinute(UtcNow);
    UpdateCentreCaptions();
}

void TTavikForm::KeepCityLabelsCurrent() {
    TCityLabelLayout now =
        BuildCityLabelLayout(Data, Options, CurrentLocalTime, UtcNow, TimeFormat, Locale);
    if (CityLabels.size() != LabelLayout.Labels.size() || !SameCityLabels(LabelLayout, now)) {
        BuildCityLabelsFrom(std::move(now));
        return;
    }
    for (std::size_t i = 0; i < now.Labels.size(); ++i)
        if (now.Labels[i].Hint != LabelLayout.Labels[i].Hint)
            CityLabels[i]->setToolTip(HintText(now.Labels[i]));
    LabelLayout = std::move(now);
    LabelsBuiltFrom = CurrentLabelsSource();
    LabelsCheckedMinute = LabelCheckMinute(UtcNow);
}

QString TTavikForm::LiveCityLabelHint(int id) const {
    const TCityLabelLayout now =
        BuildCityLabelLayout(Data, Options, CurrentLocalTime, UtcNow, TimeFormat, Locale);
    for (const TCityLabelPlan& plan : now.Labels)
        if (plan.Id == id)
            return HintText(plan);
    return {};
}

bool TTavikForm::CityLabelsCurrent() const {
    if (!LabelsBuilt ||
        !CityLabelsSourceHolds(LabelsBuiltFrom, Options, TimeFormat, Data.CurrentCity, UtcNow,
                               CurrentLocalTime) ||
        CityLabels.size() != LabelLayout.Labels.size())
        return false;
    // The data may have changed in place meanwhile: what it gives now is compared with what is
    // shown, with no widget touched.
    if (!SameCityLabels(LabelLayout, BuildCityLabelLayout(Data, Options, CurrentLocalTime, UtcNow,
                                                          TimeFormat, Locale)))
        return false;
    if (Data.CurrentCity == nullptr)
        return true;
    const TCentreCaptions c = CentreCaptions(Data, *Data.CurrentCity);
    return c.PopupCountry == PopupCountry && c.PopupAirport == PopupAirport &&
           CurrentCityLabel->text() == Q(c.City) && CurrentCountryLabel->text() == Q(c.Country) &&
           CurrentStateLabel->text() == Q(c.State) && CurrentAirportLabel->text() == Q(c.Airport);
}

bool TTavikForm::event(QEvent* e) {
    if (CentreByFramePending && (e->type() == QEvent::Move || e->type() == QEvent::Resize))
        CentreByFrameWhenKnown();
    if (FrameCheckPending && (e->type() == QEvent::Move || e->type() == QEvent::Resize) &&
        isVisible() && frameGeometry() != geometry())
        KeepFrameInWorkArea();
    if (e->type() == TCityLabelEvent::MsgCityLabelClick ||
        e->type() == TCityLabelEvent::MsgCityLabelMenu) {
        const auto* le = static_cast<TCityLabelEvent*>(e);
        TCity* city = Data.Cities.FindById(le->Id);
        if (e->type() == TCityLabelEvent::MsgCityLabelClick) {
            Data.CurrentCity = city;
            ComputeCurrentCityTime();
            RefreshDial();
        } else {
            RemovefromTavik1->setVisible(true);
            PopupCity = city;
            CityPopupMenu->popup(le->GlobalPos);
        }
        return true;
    }
    return QMainWindow::event(e);
}

void TTavikForm::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
        // A click on the clock raises it; what it opened stays in view above it.
        if (Companions != nullptr)
            Companions->KeepAboveHost();
    }
}

void TTavikForm::FormActivate() {
    if (!CityLabelsCurrent()) {
        RefreshDial();
        return;
    }
    ForgetShownTexts();
    FitClientSize();
    PositionCentreLabels();
    RedrawDial();
}

void TTavikForm::RefreshDial() {
    CurrentPlace = {};
    MyPlace = {};
    ForgetShownTexts();
    BuildCityLabels();
    FitClientSize();
    PositionCentreLabels();
    RedrawDial();
}

void TTavikForm::LocationsChanged() {
    ComputeCurrentCityTime();
    RefreshDial();
}

void TTavikForm::LocationRemoved(TRecordKind, std::int32_t) {
    LocationsChanged();
}

void TTavikForm::LocationsReplaced() {
    LocationsChanged();
}

void TTavikForm::SetMyCity(TCity* city) {
    Data.MyCity = city;
    Data.CurrentCity = city;
}

// --- Layout ----------------------------------------------------------------------------------

void TTavikForm::ApplyDisplayOptions(const TDisplayOptions& source) {
    Options = source;
    CurrentCityDateLabel->setVisible(Options.ShowDate);
    CurrentCityTimeLabel->setVisible(!Options.AnalogClock);
    TimeFormat = TimeFormatFor(Options, TimeFormat);
    DateFormat = DateFormatFor(Options, LocaleLongDateFormat, DateFormat);
    CurrentAirportLabel->setVisible(Options.ShowAirportName);
    CurrentStateLabel->setVisible(Options.ShowStateName);
    if (!Options.AnalogClock)
        DifferenceMyCityLabel->hide(); // shown by hovering in the analog layout only

    const bool docked = Options.Docked != 0;
    const bool topmost = Options.StayOnTop != 0;
    const Qt::WindowFlags old = windowFlags();
    Qt::WindowFlags flags = old;
    flags.setFlag(Qt::FramelessWindowHint, docked);
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    if (flags != old) {
        const bool wasVisible = isVisible();
        const QPoint at = pos();
        setWindowFlags(flags); // hides the window
        move(at);
        if (wasVisible)
            show();
        if (wasVisible && Companions != nullptr)
            Companions->KeepAboveHost();
    }
    TavikMainMenu->setVisible(!docked);
    for (QAction* a : TavikMainMenu->actions())
        a->setVisible(!docked);
    RefreshDial();
    // A window docked against an edge would get its title bar back beyond that edge.
    if (old.testFlag(Qt::FramelessWindowHint) && !docked)
        KeepFrameInWorkArea();
}

void TTavikForm::KeepFrameInWorkArea() {
    const QRect frame = frameGeometry();
    const QPoint at = KeptInside(frame, Platform_.Screen->WorkAreaAt(frame.center()));
    if (at != frame.topLeft())
        move(at);
    // The desktop tells the size of the frame only once the window is up; check again then.
    FrameCheckPending = !isVisible() || frame == geometry();
}

void TTavikForm::SetTopmost(bool topmost) {
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost)
        return;
    const bool wasVisible = isVisible();
    const QPoint at = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    move(at);
    if (wasVisible)
        show();
    if (wasVisible && Companions != nullptr)
        Companions->KeepAboveHost();
}

void TTavikForm::FitClientSize() {
    ResizeAllowed = true;
    const int height =
        (Options.AnalogClock ? SizeOf(Skin.TopLarge).height() : SizeOf(Skin.TopSmall).height()) +
        (Options.ShowCities ? SizeOf(Skin.BottomLarge).height()
                            : SizeOf(Skin.BottomSmall).height());
    const int width = Options.Docked ? SizeOf(Skin.TopLarge).width() : FramedWidth;
    SkinImage->setFixedSize(width, height);
    layout()->activate();
    ResizeAllowed = false;
}

void TTavikForm::PositionCentreLabels() {
    const int base = Options.AnalogClock ? AnalogCaptionsTop
                                         : DigitalCaptionsTop - SizeOf(Skin.TopLarge).height() +
                                               SizeOf(Skin.TopSmall).height();
    SunImage->move(SunImage->x(), base + DayNightBelowTop);
    MoonImage->move(MoonImage->x(), base + DayNightBelowTop);
    CurrentCityLabel->move(CityCaptionLeft, base);
    CurrentCountryLabel->move(CurrentCountryLabel->x(), base);
    CurrentCityTimeLabel->move(CurrentCityTimeLabel->x(), base + TimeBelowTop);
    CurrentAirportLabel->move(AirportCaptionLeft, base + SecondLineBelowTop);
    CurrentStateLabel->move(CurrentStateLabel->x(), base + SecondLineBelowTop);
    DeltaImage->move(DeltaImage->x(), base + DeltaBelowTop);
    DifferenceMyCityLabel->move(DifferenceMyCityLabel->x(), base - DifferenceAboveTop);

    const QColor dateColour = Options.AnalogClock ? QColor(0x58, 0x58, 0x58) : TextColour();
    if (CurrentCityDateLabel->palette().color(QPalette::WindowText) != dateColour) {
        QPalette pal = CurrentCityDateLabel->palette();
        pal.setColor(QPalette::WindowText, dateColour);
        CurrentCityDateLabel->setPalette(pal);
    }
    if (Options.AnalogClock) {
        CurrentCityDateLabel->move(AnalogDateLeft, AnalogDateTop);
    } else {
        CurrentCityDateLabel->adjustSize();
        CurrentCityDateLabel->move(SkinWidth / 2 - CurrentCityDateLabel->width() / 2,
                                   base + DigitalDateBelowTop);
    }

    const bool large = !Options.ShowDate && Options.TimeStyle == 1;
    const QFont timeFont = PalatinoBold(large ? LargeTimePixels : TimePixels);
    if (CurrentCityTimeLabel->font() != timeFont)
        CurrentCityTimeLabel->setFont(timeFont);
    const QFontMetrics fm(CurrentCityTimeLabel->font());
    CurrentCityTimeLabel->resize(TimeWidth, fm.height());
    CurrentCityTimeLabel->move(SkinWidth / 2 - CurrentCityTimeLabel->width() / 2,
                               CurrentCityTimeLabel->y());
}

// --- Dragging and the painted names ----------------------------------------------------------

namespace {

bool StrictlyInside(const QWidget* w, int x, int y) {
    return w->x() < x && x < w->x() + w->width() && w->y() < y && y < w->y() + w->height();
}

} // namespace

QPoint TTavikForm::PopupPoint(int x, int y) const {
    return SkinImage->mapToGlobal(QPoint(x, y));
}

void TTavikForm::SkinImageMouseDown(Qt::MouseButton button, int x, int y) {
    if (button == Qt::LeftButton) {
        CentreByFramePending = false; // the user places it now
        DragStartX = x;
        DragStartY = y;
        Dragging = true;
        return;
    }
    if (button != Qt::RightButton)
        return;
    if (StrictlyInside(CurrentCityLabel, x, y)) {
        PopupCity = Data.CurrentCity;
        RemovefromTavik1->setVisible(false);
        OpenCityPopup(PopupPoint(x, y));
    }
    if (StrictlyInside(CurrentCountryLabel, x, y))
        OpenCountryPopup(PopupPoint(x, y));
}

void TTavikForm::SkinImageMouseMove(int x, int y) {
    const QRect d = DeltaImage->geometry();
    const int m = DeltaHoverMargin;
    const bool near = Options.AnalogClock && d.left() - m <= x && x <= d.left() + d.width() + m &&
                      d.top() - m <= y && y <= d.top() + d.height() + m;
    DifferenceMyCityLabel->setVisible(near && DeltaImage->isVisible());
    if (!Dragging)
        return;
    if (!PlacesItself) {
        // Started at the first move, so that a click stays a click; the compositor takes the
        // pointer until the button is released.
        Dragging = false;
        ++SystemMovesAsked;
        if (QWindow* w = windowHandle())
            SystemMoveStarted = w->startSystemMove();
        return;
    }
    const QSize outer = frameGeometry().size();
    const TWindowPos to = SnappedDragPosition(
        {x + pos().x() - DragStartX, y + pos().y() - DragStartY}, outer.width(), outer.height(),
        AreaOf(Platform_.Screen->WorkArea()), Platform_.Screen->DesktopWidth());
    move(to.Left, to.Top);
}

void TTavikForm::SkinImageMouseUp() {
    Dragging = false;
}

void TTavikForm::OpenCityPopup(QPoint screenPos) {
    CityPopupMenu->popup(screenPos);
}

void TTavikForm::OpenCountryPopup(QPoint screenPos) {
    CountryPopupMenu->popup(screenPos);
}

void TTavikForm::keyPressEvent(QKeyEvent* e) {
    if (IsMenuKey(e)) {
        const QPoint at = SkinImage->mapTo(this, QPoint(SkinImage->width() / 2, 0));
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, mapToGlobal(at), e->modifiers());
        QCoreApplication::sendEvent(this, &menu);
        return;
    }
    QMainWindow::keyPressEvent(e);
}

void TTavikForm::contextMenuEvent(QContextMenuEvent* e) {
    if (e->reason() == QContextMenuEvent::Keyboard) {
        // Under the current city's name, where the keyboard is, and not at the mouse pointer
        // that some desktops hand along with the Menu key.
        const QPoint at(CurrentCityLabel->x(), CurrentCityLabel->y() + CurrentCityLabel->height());
        TavikPopupMenu->popup(SkinImage->mapToGlobal(at));
        return;
    }
    const QPoint p = SkinImage->mapFromGlobal(e->globalPos());
    if (StrictlyInside(CurrentCityLabel, p.x(), p.y()) ||
        StrictlyInside(CurrentCountryLabel, p.x(), p.y()))
        return; // the name's own menu is open
    TavikPopupMenu->popup(e->globalPos());
}

void TTavikForm::CentreByFrameWhenKnown() {
    if (!CentreByFramePending || !isVisible())
        return;
    if (windowFlags().testFlag(Qt::FramelessWindowHint)) {
        CentreByFramePending = false; // no frame to wait for: centred already
    } else if (frameGeometry() != geometry()) {
        CentreByFramePending = false;
        move(CentredPosition(frameGeometry().size()));
    }
}

void TTavikForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    CentreByFrameWhenKnown();
    RefreshDial();
}

// --- Preferences -----------------------------------------------------------------------------

QString TTavikForm::PreferencesPath() const {
    return Platform_.ProgramDir + QLatin1String(TPreferencesFile::FileName);
}

QPoint TTavikForm::CentredPosition(QSize outer) const {
    return CentredOnWorkArea(Platform_, outer);
}

void TTavikForm::LoadPreferences() {
    TPreferencesFile p;
    p.Options = Options;
    bool centre = true;
    if (!ReadPreferencesFile(PreferencesPath().toStdString(), p)) {
        ResetPreferences();
    } else {
        Options = p.Options;
        if (p.ResetRequested != 0) {
            ResetPreferences();
        } else {
            // A place off the screens (a monitor since removed, a damaged file) would leave the
            // clock out of reach: its top edge must show.
            std::vector<TScreenArea> screens;
            for (const QRect& s : Platform_.Screen->ScreenGeometries())
                screens.push_back(AreaOf(s));
            // A top edge only just above a screen (a title bar pushed off by a panel) still
            // says where the user wants the clock; it is moved in below.
            centre = !StoredPlaceUsable(p.Left, p.Top, frameGeometry().width(), screens);
            if (!centre && PlacesItself)
                move(p.Left, p.Top);
            SyncViewMenuChecks();
        }
    }
    ApplyDisplayOptions(Options);
    // Centred by the size the options gave it, so that it truly stands in the middle; a
    // stored place is kept, as far as the whole window fits there.
    if (!PlacesItself)
        return; // the compositor places it
    if (centre) {
        move(CentredPosition(frameGeometry().size()));
        CentreByFramePending = frameGeometry() == geometry();
    } else
        KeepFrameInWorkArea();
}

void TTavikForm::SavePreferences() {
    TPreferencesFile p;
    p.Options = Options;
    p.Left = pos().x();
    p.Top = pos().y();
    if (!PlacesItself) {
        // The window cannot tell where it stands: the place stored before is kept for the
        // next start on X, and a first one is the middle.
        TPreferencesFile stored;
        const bool known = ReadPreferencesFile(PreferencesPath().toStdString(), stored);
        const QPoint centred = CentredPosition(frameGeometry().size());
        p.Left = known ? stored.Left : centred.x();
        p.Top = known ? stored.Top : centred.y();
    }
    WritePreferencesFile(PreferencesPath().toStdString(), p); // failures are ignored
}

void TTavikForm::ResetPreferences() {
    SetDefaults(Options);
    SyncViewMenuChecks();
    move(CentredPosition(frameGeometry().size()));
    CentreByFramePending = frameGeometry() == geometry();
}

void TTavikForm::SyncViewMenuChecks() {
    Dock1->setChecked(Options.Docked);
    Dock2->setChecked(Options.Docked);
    AnalogClock1->setChecked(Options.AnalogClock);
    AnalogClock2->setChecked(Options.AnalogClock);
    ShowCities1->setChecked(Options.ShowCities);
    ShowCities2->setChecked(Options.ShowCities);
    AlwaysonTop1->setChecked(Options.StayOnTop);
    AlwaysOnTop2->setChecked(Options.StayOnTop);
}
