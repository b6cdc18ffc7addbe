#include "clock/TavikU.h"

#include "clock/CentreTextU.h"
#include "clock/CityLabelU.h"
#include "clock/FaceChecksU.h"
#include "clock/FaceLayoutU.h"
#include "clock/SkinU.h"
#include "widgets/QtTextU.h"

#include <algorithm>
#include <cmath>
#include <utility>

// What the face shows and when it is made again: the tick, the centre's texts, the city labels.

using namespace FaceLayout;

namespace {

QString Q(const std::string& ansi) {
    return ToQ(ansi);
}

QString HintText(const TCityLabelPlan& plan) {
    return Q(CityLabelHint(plan)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

// --- The tick --------------------------------------------------------------------------------

TDateTime TTavikForm::FaceNow() const {
    return Viewed.FaceInstant(Platform_.Clock->NowUtc());
}

TPlace TTavikForm::PlaceOf(const TCity& city, TPlaceLookup& l) {
    // The record found last time still stands at its index with its id: records are only
    // appended or deleted, so none with that id can have come before it.
    if (l.Generation == Locations.Generation() && l.City == &city && l.StateId == city.StateId &&
        l.CountryId == city.CountryId) {
        if (l.Place.State != nullptr && l.Index < Data.States.Count() &&
            &Data.States.Items(l.Index) == l.Place.State && l.Place.State->Id() == l.StateId)
            return l.Place;
        if (l.Place.Country != nullptr && l.Index < Data.Countries.Count() &&
            &Data.Countries.Items(l.Index) == l.Place.Country &&
            l.Place.Country->Id() == l.CountryId)
            return l.Place;
    }
    l = TPlaceLookup{};
    l.Generation = Locations.Generation();
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
    const TDateTime now = FaceNow();
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
    ReturnToNowWhenIdle();
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
            // Centred under the time in the compact layout, whatever the length of the day.
            if (!Options.AnalogClock)
                CurrentCityDateLabel->move(SkinWidth / 2 - CurrentCityDateLabel->width() / 2,
                                           CurrentCityDateLabel->y());
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
                   Options.DateStyle, difference, Locale, Viewed.OffsetSeconds());
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
    now.Generation = Locations.Generation();
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
    TCityLabelsSource source =
        CityLabelsSourceOf(Options, TimeFormat, Data.CurrentCity, UtcNow, CurrentLocalTime);
    source.Generation = Locations.Generation();
    return source;
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
    if (!LabelsBuilt || LabelsBuiltFrom.Generation != Locations.Generation() ||
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
