#include "clock/TavikU.h"

#include "clock/CityLabelU.h"
#include "clock/DamagedStartU.h"
#include "clock/FaceLayoutU.h"
#include "clock/SkinU.h"
#include "widgets/PlatformChoiceU.h"
#include "widgets/QtTextU.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>

using namespace FaceLayout;

namespace {

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
    CreateViewedTimeControls();
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
    Locations.SetFileName(SaveDialog.FileName.toStdString());
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
    const std::string name = fileName.toStdString();
    try {
        if (name == Locations.FileName())
            Locations.Save();
        else
            Locations.SaveAs(name);
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
            Locations.ShowCity(city);
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

void TTavikForm::LocationsChanged() {
    ComputeCurrentCityTime();
    RefreshDial();
}

void TTavikForm::LocationRemoved(TRecordKind kind, std::int32_t) {
    // A popup's record may be the one gone; the centre's are looked up again below.
    if (kind == TRecordKind::City)
        PopupCity = nullptr;
    if (kind == TRecordKind::State)
        PopupState = nullptr;
    LocationsChanged();
}

void TTavikForm::LocationsReplaced() {
    PopupCity = nullptr; // the records they named are gone
    PopupState = nullptr;
    PopupCountry = nullptr;
    PopupAirport = nullptr;
    LocationsChanged();
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
