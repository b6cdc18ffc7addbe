#include "TavikU.h"

#include "CentreTextU.h"
#include "CityLabelU.h"
#include "QtTextU.h"
#include "SelectCityU.h"
#include "SkinU.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int SkinWidth = 600;
constexpr int SkinHeight = 533;
constexpr int HintPause = 25000;

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

} // namespace

QFont PalatinoBold(int pixelSize) {
    QFont f(QStringLiteral("Palatino Linotype"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

QFont ArialBold(int pixelSize) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

// ---------------------------------------------------------------------------------------------

TSkinImage::TSkinImage(TTavikForm* form, QWidget* parent) : QWidget(parent), Form(form) {
    setObjectName(QStringLiteral("SkinImage"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Buffer = QImage(SkinWidth, SkinHeight, QImage::Format_RGB32);
    Buffer.fill(Qt::black);
}

void TSkinImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Buffer);
}

void TSkinImage::mousePressEvent(QMouseEvent* e) {
    Form->SkinImageMouseDown(e->button(), e->position().toPoint().x(), e->position().toPoint().y());
}

void TSkinImage::mouseMoveEvent(QMouseEvent* e) {
    Form->SkinImageMouseMove(e->position().toPoint().x(), e->position().toPoint().y());
}

void TSkinImage::mouseReleaseEvent(QMouseEvent*) {
    Form->SkinImageMouseUp();
}

void TPopupLabel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        emit RightClicked(e->globalPosition().toPoint());
        e->accept();
        return;
    }
    e->ignore(); // the face below takes it and starts a drag
}

// ---------------------------------------------------------------------------------------------

TTavikForm::TTavikForm(const TPlatform& platform, const TSkin& skin, QWidget* parent)
    : QMainWindow(parent), Platform_(platform), Skin(skin) {
    setObjectName(QStringLiteral("TavikForm"));
    setWindowTitle(QStringLiteral("Tavik Ravorudevu"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    CreateControls();
    CreateMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize); // only FitClientSize changes the size
    move(191, 105);

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
    Data.Modified = false;
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
    setCentralWidget(SkinImage);

    CurrentCityTimeLabel = NewLabel("CurrentCityTimeLabel", PalatinoBold(19));
    CurrentCityTimeLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    CurrentCityDateLabel = NewLabel("CurrentCityDateLabel", ArialBold(12));
    CurrentCityLabel = NewLabel("CurrentCityLabel", CaptionFont());
    CurrentCityLabel->hide(); // painted onto the skin instead
    CurrentCountryLabel = NewLabel("CurrentCountryLabel", CaptionFont());
    CurrentCountryLabel->hide();

    for (TPopupLabel** l : {&CurrentStateLabel, &CurrentAirportLabel}) {
        *l = new TPopupLabel(SkinImage);
        (*l)->setFont(PalatinoBold(14));
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

    DifferenceMyCityLabel = NewLabel("DifferenceMyCityLabel", PalatinoBold(16));
    DifferenceMyCityLabel->hide();

    DeltaImage = new QLabel(SkinImage);
    DeltaImage->setObjectName(QStringLiteral("DeltaImage"));
    DeltaImage->setPixmap(QPixmap::fromImage(Skin.Delta));
    DeltaImage->setGeometry(32, 256, 17, 19);
    DeltaImage->setToolTipDuration(HintPause);
    DeltaImage->hide();

    SunImage = new QLabel(SkinImage);
    SunImage->setObjectName(QStringLiteral("SunImage"));
    SunImage->setGeometry(78, 245, 18, 19);
    SunImage->hide(); // painted onto the skin
    MoonImage = new QLabel(SkinImage);
    MoonImage->setObjectName(QStringLiteral("MoonImage"));
    MoonImage->setGeometry(77, 245, 18, 19);
    MoonImage->hide();
}

void TTavikForm::CreateMenus() {
    TavikMainMenu = menuBar();
    TavikMainMenu->setObjectName(QStringLiteral("TavikMainMenu"));
    auto item = [](QMenu* m, const char* name, const QString& caption, bool enabled = true) {
        QAction* a = m->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setEnabled(enabled);
        return a;
    };
    auto separator = [](QMenu* m, const char* name) {
        m->addSeparator()->setObjectName(QLatin1String(name));
    };
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = TavikMainMenu->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };

    QMenu* file = menu("File1", QStringLiteral("&Citylist"));
    connect(item(file, "CitiesonTavik1", QStringLiteral("Cities on Tavik..."), false),
            &QAction::triggered, this, &TTavikForm::CitiesonTavik1Click);
    separator(file, "N4");
    connect(item(file, "Open1", QStringLiteral("&Open ...")), &QAction::triggered, this,
            &TTavikForm::Open1Click);
    connect(item(file, "Save1", QStringLiteral("Save")), &QAction::triggered, this,
            &TTavikForm::Save1Click);
    connect(item(file, "SaveAs1", QStringLiteral("Save &As ...")), &QAction::triggered, this,
            &TTavikForm::SaveAs1Click);
    separator(file, "N5");
    connect(item(file, "Exit1", QStringLiteral("E&xit")), &QAction::triggered, this,
            &TTavikForm::Exit1Click);

    QMenu* location = menu("Location1", QStringLiteral("&Location"));
    item(location, "Search1", QStringLiteral("Search..."), false);
    separator(location, "N3");
    const char* const kinds[4][2] = {{"Country", "&Country"},
                                     {"StateProvince", "&State/Province"},
                                     {"City", "C&ity"},
                                     {"Airport", "&Airport"}};
    const char* const subs[3][2] = {{"Add1", "&Add"}, {"Edit1", "&Edit"}, {"Delete1", "&Delete"}};
    for (int s = 0; s < 3; ++s) {
        QMenu* sub = location->addMenu(QLatin1String(subs[s][1]));
        sub->setObjectName(QLatin1String(subs[s][0]));
        for (int k = 0; k < 4; ++k) {
            const QByteArray name = QByteArray(kinds[k][0]) + QByteArray::number(s + 1);
            item(sub, name.constData(), QLatin1String(kinds[k][1]), false);
        }
    }
    separator(location, "N9");
    connect(item(location, "SelectMyCity1", QStringLiteral("Select &My City..."), false),
            &QAction::triggered, this, &TTavikForm::SelectMyCity1Click);

    QMenu* view = menu("View1", QStringLiteral("&View"));
    Dock1 = item(view, "Dock1", QStringLiteral("Dock"));
    separator(view, "N6");
    AnalogClock1 = item(view, "AnalogClock1", QStringLiteral("&Analog Clock"));
    ShowCities1 = item(view, "ShowCities1", QStringLiteral("Show &Cities"));
    separator(view, "N2");
    AlwaysonTop1 = item(view, "AlwaysonTop1", QStringLiteral("&Stay on top"));
    separator(view, "N1");
    item(view, "Options1", QStringLiteral("&Preferences..."), false);

    QMenu* help = menu("Help1", QStringLiteral("Help"));
    connect(item(help, "Contents1", QStringLiteral("Contents")), &QAction::triggered, this,
            &TTavikForm::Contents1Click);
    connect(item(help, "About1", QStringLiteral("About")), &QAction::triggered, this,
            &TTavikForm::About1Click);

    TavikPopupMenu = new QMenu(this);
    TavikPopupMenu->setObjectName(QStringLiteral("TavikPopupMenu"));
    connect(item(TavikPopupMenu, "GotoMyCity1", QStringLiteral("Go to My City")),
            &QAction::triggered, this, &TTavikForm::GotoMyCity1Click);
    separator(TavikPopupMenu, "N12");
    Dock2 = item(TavikPopupMenu, "Dock2", QStringLiteral("Dock"));
    separator(TavikPopupMenu, "N7");
    AnalogClock2 = item(TavikPopupMenu, "AnalogClock2", QStringLiteral("Analog Clock"));
    ShowCities2 = item(TavikPopupMenu, "ShowCities2", QStringLiteral("Show Cities"));
    separator(TavikPopupMenu, "N8");
    AlwaysOnTop2 = item(TavikPopupMenu, "AlwaysOnTop2", QStringLiteral("Stay On Top"));
    separator(TavikPopupMenu, "N10");
    item(TavikPopupMenu, "Preferences1", QStringLiteral("Preferences"), false);
    separator(TavikPopupMenu, "N11");
    connect(item(TavikPopupMenu, "Exit2", QStringLiteral("Exit")), &QAction::triggered, this,
            &TTavikForm::Exit1Click);

    for (QAction* a : {Dock1, AnalogClock1, ShowCities1, AlwaysonTop1, Dock2, AnalogClock2,
                       ShowCities2, AlwaysOnTop2})
        a->setCheckable(true);
    connect(Dock1, &QAction::triggered, this, &TTavikForm::Dock1Click);
    connect(AnalogClock1, &QAction::triggered, this, &TTavikForm::AnalogClock1Click);
    connect(ShowCities1, &QAction::triggered, this, &TTavikForm::ShowCities1Click);
    connect(AlwaysonTop1, &QAction::triggered, this, &TTavikForm::AlwaysonTop1Click);
    connect(Dock2, &QAction::triggered, this, &TTavikForm::Dock2Click);
    connect(AnalogClock2, &QAction::triggered, this, &TTavikForm::AnalogClock2Click);
    connect(ShowCities2, &QAction::triggered, this, &TTavikForm::ShowCities2Click);
    connect(AlwaysOnTop2, &QAction::triggered, this, &TTavikForm::AlwaysOnTop2Click);
    AnalogClock1->setChecked(true);
    ShowCities1->setChecked(true);
    AlwaysonTop1->setChecked(true);

    CityPopupMenu = new QMenu(this);
    CityPopupMenu->setObjectName(QStringLiteral("CityPopupMenu"));
    connect(item(CityPopupMenu, "ViewCity1", QStringLiteral("View City")), &QAction::triggered,
            this, &TTavikForm::ViewCity1Click);
    item(CityPopupMenu, "EditCity1", QStringLiteral("Edit City"), false);
    RemovefromTavik1 = item(CityPopupMenu, "RemovefromTavik1", QStringLiteral("Remove from Tavik"));
    connect(RemovefromTavik1, &QAction::triggered, this, &TTavikForm::RemovefromTavik1Click);
    CountryPopupMenu = new QMenu(this);
    CountryPopupMenu->setObjectName(QStringLiteral("CountryPopupMenu"));
    item(CountryPopupMenu, "EditCountry1", QStringLiteral("Edit Country"), false);
    StatePopupMenu = new QMenu(this);
    StatePopupMenu->setObjectName(QStringLiteral("StatePopupMenu"));
    item(StatePopupMenu, "EditStateProvince1", QStringLiteral("Edit State/Province"), false);
    AirportPopupMenu = new QMenu(this);
    AirportPopupMenu->setObjectName(QStringLiteral("AirportPopupMenu"));
    item(AirportPopupMenu, "EditAirport1", QStringLiteral("Edit Airport"), false);
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
    try {
        LoadCityListFile(name.toStdString(), Data);
    } catch (const EStreamError& e) {
        // The program goes on with what could be read.
        Platform_.Messages->Show(this, QString::fromUtf8(e.what()));
    }
    return true;
}

bool TTavikForm::SaveCityList(const QString& fileName) {
    try {
        SaveCityListFile(fileName.toStdString(), Data);
    } catch (const EStreamError& e) {
        Platform_.Messages->Show(this, QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

void TTavikForm::Save1Click() {
    SaveCityList(SaveDialog.FileName);
}

void TTavikForm::Exit1Click() {
    close();
}

void TTavikForm::closeEvent(QCloseEvent* e) {
    if (Data.Modified) {
        const TAnswer a = Platform_.Messages->AskYesNoCancel(
            this, QStringLiteral("Do you want to save your changes to ") + SaveDialog.FileName +
                      QStringLiteral(" ?"));
        if (a == TAnswer::Cancel || (a == TAnswer::Yes && !SaveCityList(SaveDialog.FileName))) {
            e->ignore();
            return;
        }
    }
    SavePreferences();
    e->accept();
}

// --- The tick --------------------------------------------------------------------------------

void TTavikForm::ComputeCurrentCityTime() {
    const TDateTime now = Platform_.Clock->NowUtc();
    TDateParts check;
    if (TryDecodeDate(now, check))
        UtcNow = now;
    if (Data.CurrentCity == nullptr)
        return;
    const TPlace place = PlaceOfCity(Data, *Data.CurrentCity);
    if (!place)
        return;
    CurrentLocalTime = place.LocalTimeWholeHours(UtcNow);
    CurrentExactLocalTime = place.LocalTime(UtcNow);
    CurrentUtcOffset = place.UTCOffset();
}

void TTavikForm::RedrawDial() {
    ComputeCurrentCityTime();
    const TTimeParts local = DecodeTime(CurrentLocalTime);
    const TTimeParts utc = DecodeTime(UtcNow);

    TDialScene s;
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
    PaintDial(SkinImage->Buffer, s, Skin, Dial);

    CurrentCityDateLabel->setText(Q(FormatCentreDate(CurrentLocalTime, Options.DateStyle, Locale)));
    CurrentCityDateLabel->adjustSize();
    CurrentCityTimeLabel->setText(Q(FormatDateTimeText(TimeFormat, CurrentLocalTime, Locale)));
    UpdateDifference();
    CurrentCityTimeLabel->move(SkinWidth / 2 - CurrentCityTimeLabel->width() / 2,
                               CurrentCityTimeLabel->y());
    DifferenceMyCityLabel->move(SkinWidth / 2 - DifferenceMyCityLabel->width() / 2,
                                DifferenceMyCityLabel->y());

    if (Data.CurrentCity == nullptr) {
        for (QLabel* l :
             {static_cast<QLabel*>(CurrentStateLabel), static_cast<QLabel*>(CurrentAirportLabel),
              CurrentCityLabel, CurrentCountryLabel, CurrentCityDateLabel})
            l->clear();
    }
    SkinImage->update();
}

void TTavikForm::UpdateDifference() {
    const std::string text = DifferenceText(Data, Data.CurrentCity, Data.MyCity, CurrentUtcOffset,
                                            CurrentExactLocalTime, UtcNow);
    const QString q = Q(text);
    if (DifferenceMyCityLabel->text() != q) {
        DifferenceMyCityLabel->setText(q);
        DifferenceMyCityLabel->adjustSize();
    }
    DeltaImage->setToolTip(Options.AnalogClock ? QString() : q);
    DeltaImage->setVisible(!text.empty());
}

void TTavikForm::UpdateCentreCaptions() {
    if (Data.CurrentCity == nullptr)
        return;
    const TCentreCaptions c = CentreCaptions(Data, *Data.CurrentCity);
    PopupCountry = c.PopupCountry;
    PopupAirport = c.PopupAirport;
    CurrentAirportLabel->setText(Q(c.Airport));
    CurrentAirportLabel->adjustSize();
    CurrentCityLabel->setText(Q(c.City));
    CurrentCityLabel->adjustSize();
    CurrentCountryLabel->setText(Q(c.Country));
    CurrentCountryLabel->adjustSize();
    CurrentCountryLabel->move(520 - CurrentCountryLabel->width(), CurrentCountryLabel->y());
    CurrentStateLabel->setText(Q(c.State));
    CurrentStateLabel->adjustSize();
    CurrentStateLabel->move(520 - CurrentStateLabel->width(), CurrentStateLabel->y());
}

void TTavikForm::BuildCityLabels() {
    for (TCityLabel* l : CityLabels)
        delete l;
    CityLabels.clear();
    LabelLayout = BuildCityLabelLayout(Data, Options, CurrentLocalTime, UtcNow, TimeFormat, Locale);
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPixelSize(Options.SmallCityFont ? 11 : 13); // 8 or 10 points on a 96 dpi desktop
    CityLabels.reserve(LabelLayout.Labels.size());
    for (const TCityLabelPlan& plan : LabelLayout.Labels) {
        auto* l = new TCityLabel(SkinImage, this, plan.Id);
        l->setFont(font);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, plan.IsDay ? QColor(255, 255, 95) : QColor(51, 51, 51));
        l->setPalette(pal);
        l->setText(Q(plan.Caption));
        l->setToolTip(Q(plan.Hint).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        l->setToolTipDuration(HintPause);
        l->adjustSize();
        if (plan.FixedWidth > 0)
            l->resize(plan.FixedWidth, l->height());
        l->move(plan.Left, plan.Top);
        l->show();
        CityLabels.push_back(l);
    }
    UpdateCentreCaptions();
}

bool TTavikForm::event(QEvent* e) {
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
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        RefreshDial();
}

void TTavikForm::RefreshDial() {
    BuildCityLabels();
    FitClientSize();
    PositionCentreLabels();
    RedrawDial();
}

void TTavikForm::CityRemoved(const TCity* city) {
    if (city == Data.CurrentCity && Data.CurrentCity != Data.MyCity)
        Data.CurrentCity = Data.MyCity;
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
    }
    TavikMainMenu->setVisible(!docked);
    for (QAction* a : TavikMainMenu->actions())
        a->setVisible(!docked);
    RefreshDial();
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
}

void TTavikForm::FitClientSize() {
    ResizeAllowed = true;
    const int height = (Options.AnalogClock ? Skin.TopLarge.height() : Skin.TopSmall.height()) +
                       (Options.ShowCities ? Skin.BottomLarge.height() : Skin.BottomSmall.height());
    const int width = Options.Docked ? Skin.TopLarge.width() : 598;
    SkinImage->setFixedSize(width, height);
    layout()->activate();
    ResizeAllowed = false;
}

void TTavikForm::PositionCentreLabels() {
    const int base =
        Options.AnalogClock ? 241 : 238 - Skin.TopLarge.height() + Skin.TopSmall.height();
    SunImage->move(SunImage->x(), base + 4);
    MoonImage->move(MoonImage->x(), base + 4);
    CurrentCityLabel->move(98, base);
    CurrentCountryLabel->move(CurrentCountryLabel->x(), base);
    CurrentCityTimeLabel->move(CurrentCityTimeLabel->x(), base + 1);
    CurrentAirportLabel->move(82, base + 26);
    CurrentStateLabel->move(CurrentStateLabel->x(), base + 26);
    DeltaImage->move(DeltaImage->x(), base + 15);
    DifferenceMyCityLabel->move(DifferenceMyCityLabel->x(), base - 30);

    QPalette pal = CurrentCityDateLabel->palette();
    if (Options.AnalogClock) {
        pal.setColor(QPalette::WindowText, QColor(0x58, 0x58, 0x58));
        CurrentCityDateLabel->setPalette(pal);
        CurrentCityDateLabel->move(8, 8);
    } else {
        pal.setColor(QPalette::WindowText, TextColour());
        CurrentCityDateLabel->setPalette(pal);
        CurrentCityDateLabel->adjustSize();
        CurrentCityDateLabel->move(SkinWidth / 2 - CurrentCityDateLabel->width() / 2, base + 28);
    }

    // 24 and 14 points on a 96 dpi desktop.
    const bool large = !Options.ShowDate && Options.TimeStyle == 1;
    CurrentCityTimeLabel->setFont(PalatinoBold(large ? 32 : 19));
    const QFontMetrics fm(CurrentCityTimeLabel->font());
    CurrentCityTimeLabel->resize(205, fm.height());
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
    const bool near = Options.AnalogClock && d.left() - 10 <= x && x <= d.left() + d.width() + 10 &&
                      d.top() - 10 <= y && y <= d.top() + d.height() + 10;
    DifferenceMyCityLabel->setVisible(near && DeltaImage->isVisible());
    if (!Dragging)
        return;
    const QRect work = Platform_.Screen->WorkArea();
    const int desktopWidth = Platform_.Screen->DesktopWidth();
    const QSize outer = frameGeometry().size();
    int newLeft = x + pos().x() - DragStartX;
    if (newLeft + outer.width() > desktopWidth - 6)
        newLeft = desktopWidth - outer.width();
    if (newLeft < work.left() + 6)
        newLeft = work.left();
    int newTop = y + pos().y() - DragStartY;
    const int workBottom = work.top() + work.height();
    if (newTop + outer.height() > workBottom - 6)
        newTop = workBottom - outer.height();
    if (newTop < work.top() + 6)
        newTop = work.top();
    move(newLeft, newTop);
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

void TTavikForm::contextMenuEvent(QContextMenuEvent* e) {
    const QPoint p = SkinImage->mapFromGlobal(e->globalPos());
    if (StrictlyInside(CurrentCityLabel, p.x(), p.y()) ||
        StrictlyInside(CurrentCountryLabel, p.x(), p.y()))
        return; // the name's own menu is open
    TavikPopupMenu->popup(e->globalPos());
}

void TTavikForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    RefreshDial();
}

// --- Preferences -----------------------------------------------------------------------------

QString TTavikForm::PreferencesPath() const {
    return Platform_.ProgramDir + QLatin1String(TPreferencesFile::FileName);
}

QPoint TTavikForm::CentredPosition(QSize outer) const {
    const QRect work = Platform_.Screen->WorkArea();
    return {work.width() / 2 - outer.width() / 2, work.height() / 2 - outer.height() / 2};
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
                screens.push_back({s.x(), s.y(), s.width(), s.height()});
            centre = !TopEdgeOnScreen(p.Left, p.Top, frameGeometry().width(), screens);
            if (!centre)
                move(p.Left, p.Top);
            SyncViewMenuChecks();
        }
    }
    ApplyDisplayOptions(Options);
    // Centred by the size the options gave it, so that it truly stands in the middle.
    if (centre)
        move(CentredPosition(frameGeometry().size()));
}

void TTavikForm::SavePreferences() {
    TPreferencesFile p;
    p.Options = Options;
    p.Left = pos().x();
    p.Top = pos().y();
    WritePreferencesFile(PreferencesPath().toStdString(), p); // failures are ignored
}

void TTavikForm::ResetPreferences() {
    SetDefaults(Options);
    SyncViewMenuChecks();
    move(CentredPosition(frameGeometry().size()));
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

// --- View toggles and help -------------------------------------------------------------------

void TTavikForm::Dock1Click() {
    Options.Docked = Dock1->isChecked();
    SyncViewMenuChecks();
    ApplyDisplayOptions(Options);
}

void TTavikForm::AnalogClock1Click() {
    Options.AnalogClock = AnalogClock1->isChecked();
    ApplyDisplayOptions(Options);
    SyncViewMenuChecks();
}

void TTavikForm::ShowCities1Click() {
    Options.ShowCities = ShowCities1->isChecked();
    SyncViewMenuChecks();
    FitClientSize();
    ApplyDisplayOptions(Options);
}

void TTavikForm::AlwaysonTop1Click() {
    Options.StayOnTop = AlwaysonTop1->isChecked();
    SyncViewMenuChecks();
    ApplyDisplayOptions(Options);
}

void TTavikForm::Dock2Click() {
    Dock1->setChecked(Dock2->isChecked());
    Dock1Click();
}

void TTavikForm::AnalogClock2Click() {
    AnalogClock1->setChecked(AnalogClock2->isChecked());
    AnalogClock1Click();
}

void TTavikForm::ShowCities2Click() {
    ShowCities1->setChecked(ShowCities2->isChecked());
    ShowCities1Click();
}

void TTavikForm::AlwaysOnTop2Click() {
    AlwaysonTop1->setChecked(AlwaysOnTop2->isChecked());
    AlwaysonTop1Click();
}

void TTavikForm::Contents1Click() {
    // Keeps the help window from hiding behind the clock.
    Options.StayOnTop = 0;
    ApplyDisplayOptions(Options);
    SyncViewMenuChecks();
    Platform_.Shell->Open(Platform_.ProgramDir + QStringLiteral("Tavik.chm"));
}

bool TTavikForm::SaveChangesFirst() {
    if (!Data.Modified)
        return true;
    const TAnswer a = Platform_.Messages->AskYesNoCancel(
        this, QStringLiteral("Do you want to save your changes to ") + SaveDialog.FileName +
                  QStringLiteral(" ?"));
    if (a == TAnswer::Cancel)
        return false;
    return a == TAnswer::No || SaveCityList(SaveDialog.FileName);
}

void TTavikForm::Open1Click() {
    if (!SaveChangesFirst() || !Platform_.Files->Open(this, OpenDialog))
        return;
    // A dialog still showing the old cities would act on records that are about to go.
    if (SelectCityForm != nullptr)
        SelectCityForm->hide();
    try {
        LoadCityListFile(OpenDialog.FileName.toStdString(), Data);
        Data.Modified = false; // what is shown is now what the file holds
    } catch (const EStreamError& e) {
        Platform_.Messages->Show(this, QString::fromUtf8(e.what()));
    }
    SaveDialog.FileName = OpenDialog.FileName;
    PopupCity = nullptr; // the records they named are gone
    PopupState = nullptr;
    PopupCountry = nullptr;
    PopupAirport = nullptr;
    ComputeCurrentCityTime();
    RefreshDial();
}

void TTavikForm::SaveAs1Click() {
    if (Platform_.Files->Save(this, SaveDialog))
        SaveCityList(SaveDialog.FileName);
}

void TTavikForm::ViewCity1Click() {
    Data.CurrentCity = PopupCity;
    ComputeCurrentCityTime();
    RefreshDial();
}

void TTavikForm::RemovefromTavik1Click() {
    if (PopupCity)
        PopupCity->Default = false; // a choice of the moment: the data is not marked as modified
    RefreshDial();
}

void TTavikForm::GotoMyCity1Click() {
    Data.CurrentCity = Data.MyCity;
    ComputeCurrentCityTime();
    RefreshDial();
}

void TTavikForm::SetSelectCityForm(TSelectCityForm* form) {
    SelectCityForm = form;
    for (const char* name : {"CitiesonTavik1", "SelectMyCity1"})
        findChild<QAction*>(QLatin1String(name))->setEnabled(form != nullptr);
}

void TTavikForm::OpenSelectCity(bool myCityMode) {
    if (SelectCityForm == nullptr)
        return;
    SelectCityForm->move(pos());
    SelectCityForm->SetCollections(Data, Data.MyCity);
    if (myCityMode)
        SelectCityForm->EnterMyCityMode();
    else
        SelectCityForm->EnterDialMode();
    SelectCityForm->show();
    SelectCityForm->raise();
    SelectCityForm->activateWindow();
    SelectCityForm->CityEdit->setFocus();
}

void TTavikForm::CitiesonTavik1Click() {
    OpenSelectCity(false);
}

void TTavikForm::SelectMyCity1Click() {
    OpenSelectCity(true);
}

void TTavikForm::About1Click() {
    if (ShowAbout)
        ShowAbout();
}
