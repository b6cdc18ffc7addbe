// Every window of the program as a screen reader and a keyboard meet it: the tree of Qt's
// accessibility interfaces (what the desktop's accessibility bus serves), and Tab through it.
#include "CompanionWindowsU.h"
#include "FakePlatform.h"
#include "TestWorld.h"
#include "about/SplashU.h"
#include "changes/ClockChangesFormU.h"
#include "check/ZoneCheckFormU.h"
#include "clock/CityLabelU.h"
#include "clock/GoToTimeU.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "manage/ManageU.h"
#include "manage/ZonePickerU.h"
#include "prefs/OptionsFormU.h"
#include "select/MyCityMessageU.h"
#include "select/SearchU.h"
#include "select/SelectCityU.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Names that a developer gave a control, not words a user would hear: a control's objectName,
// or a run of capitalised words without a blank ("CityEdit", "Button2").
bool LooksLikeObjectName(const QString& name, const QWidget* window) {
    static const QRegularExpression code(
        QStringLiteral("^([A-Z][a-z]+){2,}[0-9]*$|^[A-Za-z]+[0-9]+$|^q_|^_q_"));
    if (code.match(name).hasMatch())
        return true;
    return window->findChild<QObject*>(name) != nullptr;
}

// Every shown, enabled and focusable control under the interface whose name is missing or code.
void FindNameless(QAccessibleInterface* i, const QWidget* window, QStringList& faults) {
    if (i == nullptr)
        return;
    const QAccessible::State st = i->state();
    if (st.invisible)
        return;
    QObject* o = i->object();
    if (o != nullptr && o->isWidgetType() && st.focusable && !st.disabled) {
        const QString name = i->text(QAccessible::Name).trimmed();
        if (name.isEmpty() || LooksLikeObjectName(name, window))
            faults << QStringLiteral("%1 in %2 is named \"%3\"")
                          .arg(o->objectName(), window->objectName(), name);
    }
    // Lines and cells of item views are their values; the view itself is checked.
    if (o == nullptr || !o->isWidgetType())
        return;
    for (int c = 0; c < i->childCount(); ++c)
        FindNameless(i->child(c), window, faults);
}

// The controls Tab must reach: shown, enabled, taking focus by Tab, and not handing it on.
QList<QWidget*> TabStops(QWidget* window) {
    QList<QWidget*> stops;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            w->focusProxy() == nullptr && w->window() == window)
            stops << w;
    return stops;
}

QString NamesOf(const QList<QWidget*>& widgets) {
    QStringList names;
    for (const QWidget* w : widgets)
        names << w->objectName() + QLatin1Char('(') + QLatin1String(w->metaObject()->className()) +
                     QLatin1Char(')');
    return names.join(QStringLiteral(", "));
}

// Tab from the first stop: every stop is reached, and no press leaves the keyboard where it was.
void CheckTabCycle(QWidget* window, const QString& what) {
    SCOPED_TRACE(what.toStdString());
    QCoreApplication::processEvents(); // the window hidden before has let go
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }));
    const QList<QWidget*> stops = TabStops(window);
    ASSERT_FALSE(stops.isEmpty());
    stops.front()->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), stops.front());
    QList<QWidget*> reached;
    for (int press = 0; press < 4 * stops.size() + 20; ++press) {
        QWidget* before = QApplication::focusWidget();
        ASSERT_NE(before, nullptr)
            << "the keyboard is lost after " << NamesOf(reached).toStdString() << " from "
            << NamesOf(stops).toStdString();
        if (!reached.contains(before))
            reached << before;
        QTest::keyClick(before, Qt::Key_Tab);
        if (stops.size() == 1)
            break; // nowhere else to go
        EXPECT_NE(QApplication::focusWidget(), before)
            << "Tab stays in " << before->objectName().toStdString();
        if (QApplication::focusWidget() == before)
            break;
    }
    // Tab stops at the chosen button of a set of radio buttons; the arrows choose among them.
    auto radioSetReached = [&reached](const QWidget* w) {
        const auto* radio = qobject_cast<const QRadioButton*>(w);
        if (radio == nullptr || !radio->autoExclusive())
            return false;
        for (const QWidget* r : reached)
            if (qobject_cast<const QRadioButton*>(r) && r->parentWidget() == w->parentWidget())
                return true;
        return false;
    };
    QList<QWidget*> missed;
    for (QWidget* w : stops)
        if (!reached.contains(w) && !radioSetReached(w))
            missed << w;
    EXPECT_TRUE(missed.isEmpty()) << "Tab never reaches " << NamesOf(missed).toStdString()
                                  << "\nbut only " << NamesOf(reached).toStdString();
}

class Accessibility : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTestWorld(P.File(QStringLiteral("user.tvk")).toStdString(), 1);
        Form = std::make_unique<TTavikForm>(P.Platform, TSkin::Standard());
        Companions = std::make_unique<TCompanionWindows>(*Form);
        Form->SetCompanions(Companions.get());
        Form->Data.CurrentCity = Form->Data.Cities.FindById(2); // Kathmandu, so London has a label
        Form->show();
        Form->RefreshDial();
    }
    void TearDown() override {
        Companions->CloseAll();
        Form->SetCompanions(nullptr);
        Companions.reset();
        Form->hide();
        Form.reset();
    }

    // Each window as the commands open it, with what it is called in the messages.
    void ForEachWindow(const std::function<void(QWidget*, const QString&)>& check) {
        check(Form.get(), QStringLiteral("clock window"));
        Companions->OpenSelectCity(false);
        check(&Companions->SelectCity(), QStringLiteral("Select City, cities on the dial"));
        Companions->SelectCity().close();
        Companions->OpenSelectCity(true);
        check(&Companions->SelectCity(), QStringLiteral("Select City, My City"));
        Companions->SelectCity().hide();
        Companions->OpenSearch();
        check(&Companions->Search(), QStringLiteral("Search for City"));
        Companions->Search().hide();
        Companions->OpenPreferences();
        check(&Companions->Options(), QStringLiteral("Preferences"));
        Companions->Options().hide();
        const TManagePage pages[] = {TManagePage::Countries, TManagePage::States,
                                     TManagePage::Cities, TManagePage::Airports};
        for (TManagePage page : pages) {
            for (TManageMode mode : {TManageMode::New, TManageMode::Edit}) {
                Companions->OpenManage(page, mode, 1);
                check(&Companions->Manage(),
                      QStringLiteral("location data, page %1, %2")
                          .arg(static_cast<int>(page))
                          .arg(mode == TManageMode::New ? QStringLiteral("new")
                                                        : QStringLiteral("edit")));
                Companions->Manage().PutAway();
            }
        }
        Companions->OpenClockChanges();
        check(&Companions->ClockChanges(), QStringLiteral("Clock Changes"));
        Companions->ClockChanges().hide();
        Companions->OpenZoneCheck();
        ASSERT_NE(Companions->ZoneCheck(), nullptr);
        check(Companions->ZoneCheck(), QStringLiteral("Check Time Zones"));
        Companions->ZoneCheck()->hide();
        TZonePickerForm picker(*Form);
        picker.Prepare("NP");
        picker.show();
        check(&picker, QStringLiteral("From time zone"));
        picker.hide();
        Form->GoToTime1Click();
        ASSERT_NE(Form->GoToTimeForm, nullptr);
        check(Form->GoToTimeForm, QStringLiteral("Go to Time"));
        Form->GoToTimeForm->reject();
        Companions->MyCityMessage().show();
        check(&Companions->MyCityMessage(), QStringLiteral("Select My City message"));
        Companions->MyCityMessage().hide();
        Companions->Splash().PrepareAbout(QPoint(0, 0));
        Companions->Splash().show();
        check(&Companions->Splash(), QStringLiteral("About"));
        Companions->Splash().hide();
    }

    TFakePlatform P;
    std::unique_ptr<TTavikForm> Form;
    std::unique_ptr<TCompanionWindows> Companions;
};

} // namespace

TEST_F(Accessibility, EveryFocusableControlOfEveryWindowHasANameInWords) {
    ForEachWindow([](QWidget* window, const QString& what) {
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window);
        ASSERT_NE(root, nullptr);
        EXPECT_FALSE(root->text(QAccessible::Name).isEmpty()) << what.toStdString();
        EXPECT_TRUE(root->role() == QAccessible::Window || root->role() == QAccessible::Dialog)
            << what.toStdString() << " is announced with role " << root->role();
        QStringList faults;
        FindNameless(root, window, faults);
        EXPECT_TRUE(faults.isEmpty()) << what.toStdString() << ":\n"
                                      << faults.join(QLatin1Char('\n')).toStdString();
    });
}

TEST_F(Accessibility, TabReachesEveryEnabledControlOfEveryWindowAndLeavesIt) {
    ForEachWindow([](QWidget* window, const QString& what) { CheckTabCycle(window, what); });
}

TEST_F(Accessibility, ControlsAreNamedByTheirCaptionsNotTheirValues) {
    Companions->OpenSearch();
    const char* names[][2] = {{"CountryComboBox", "Country"},
                              {"StateComboBox", "State"},
                              {"AirportComboBox", "Airport"},
                              {"UTCComboBox", "UTC Offset"}};
    for (const auto& [object, caption] : names) {
        auto* combo = Companions->Search().findChild<QWidget*>(QLatin1String(object));
        ASSERT_NE(combo, nullptr) << object;
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(combo);
        EXPECT_EQ(i->role(), QAccessible::ComboBox);
        EXPECT_EQ(i->text(QAccessible::Name), QLatin1String(caption));
        EXPECT_EQ(i->text(QAccessible::Value),
                  static_cast<QComboBox*>(combo)->currentText()); // the value is still told
        EXPECT_GE(i->childCount(), 1) << "its list";
    }
    // An empty list of links on a page is not announced by the caption of its frame.
    Companions->OpenManage(TManagePage::Cities, TManageMode::New, 0);
    auto* links = Companions->Manage().findChild<QWidget*>(QStringLiteral("ClosestAirportsLabel"));
    ASSERT_NE(links, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(links)->text(QAccessible::Name),
              QStringLiteral("Closest airports: none"));

    // The frames of Preferences by their own captions, not the caption of the frame around them.
    for (QGroupBox* frame : Companions->Options().findChildren<QGroupBox*>())
        EXPECT_EQ(QAccessible::queryAccessibleInterface(frame)->text(QAccessible::Name),
                  frame->title());

    // The zone picker's preview reads what it shows; its search's clear button has words.
    TZonePickerForm picker(*Form);
    picker.Prepare("NP");
    ASSERT_FALSE(picker.PreviewLabel->text().isEmpty());
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(picker.PreviewLabel)->text(QAccessible::Description),
        picker.PreviewLabel->text());
    for (QToolButton* clear : picker.ZoneSearchEdit->findChildren<QToolButton*>())
        EXPECT_FALSE(
            QAccessible::queryAccessibleInterface(clear)->text(QAccessible::Name).isEmpty());
}

// --- The clock by keyboard and by ear ---------------------------------------------------------

TEST_F(Accessibility, TheFaceTellsPlaceTimeDateAndDifferenceAndChangesOncePerMinute) {
    TDateTime t = 0;
    TryEncodeDateTime(2026, 12, 8, 12, 0, 10, 0, t);
    P.Now = t;
    Form->RefreshDial();
    const QWidget* face = Form->SkinImage;
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(Form->SkinImage);
    EXPECT_EQ(i->text(QAccessible::Name), QStringLiteral("Kathmandu, Bagmati, Nepal"));
    const QString told = i->text(QAccessible::Description);
    EXPECT_TRUE(told.startsWith(QStringLiteral("5:45 pm, Tuesday 8 December 2026.")))
        << told.toStdString();
    EXPECT_TRUE(told.endsWith(QStringLiteral("Kathmandu is 5\u00BE hours later than London.")))
        << told.toStdString();
    EXPECT_TRUE(face->focusPolicy() & Qt::TabFocus);

    // Seconds pass without a new text; the next minute brings one.
    TryEncodeDateTime(2026, 12, 8, 12, 0, 40, 0, P.Now);
    Form->RedrawDial();
    EXPECT_EQ(i->text(QAccessible::Description), told);
    TryEncodeDateTime(2026, 12, 8, 12, 1, 0, 0, P.Now);
    Form->RedrawDial();
    EXPECT_TRUE(i->text(QAccessible::Description).startsWith(QStringLiteral("5:46 pm,")));

    // A city with no difference to tell, and no city at all.
    Form->Data.CurrentCity = Form->Data.MyCity;
    Form->RefreshDial();
    EXPECT_EQ(i->text(QAccessible::Name), QStringLiteral("London, United Kingdom"));
    EXPECT_TRUE(i->text(QAccessible::Description).endsWith(QStringLiteral("2026.")));
}

TEST_F(Accessibility, TheMenuKeyAndShiftF10OpenTheWindowMenuAndALabelsMenu) {
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    Form->SkinImage->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Form->SkinImage, Qt::Key_Menu);
    EXPECT_TRUE(Form->TavikPopupMenu->isVisible());
    Form->TavikPopupMenu->hide();
    QTest::keyClick(Form->SkinImage, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(Form->TavikPopupMenu->isVisible());
    Form->TavikPopupMenu->hide();

    ASSERT_FALSE(Form->CityLabels.empty());
    TCityLabel* label = Form->CityLabels.front();
    label->setFocus(Qt::TabFocusReason);
    QTest::keyClick(label, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Form->CityPopupMenu->isVisible(); }));
    EXPECT_FALSE(Form->TavikPopupMenu->isVisible());
    ASSERT_NE(Form->PopupCity, nullptr);
    EXPECT_EQ(Form->PopupCity->UniqueID, label->Id());
    EXPECT_TRUE(Form->RemovefromTavik1->isVisible());
    Form->CityPopupMenu->hide();

    // Help opens with Alt like the other menus.
    const QMenu* help = Form->findChild<QMenu*>(QStringLiteral("Help1"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(QKeySequence::mnemonic(help->title()), QKeySequence(Qt::ALT | Qt::Key_H));
}

TEST_F(Accessibility, TabMovesAmongTheCityLabelsAndEnterCentresOne) {
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    Form->SkinImage->setFocus(Qt::TabFocusReason);
    ASSERT_GE(Form->CityLabels.size(), 2u);
    std::vector<int> visited;
    for (std::size_t n = 0; n < Form->CityLabels.size(); ++n) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto* label = qobject_cast<TCityLabel*>(QApplication::focusWidget());
        ASSERT_NE(label, nullptr) << "Tab " << n + 1 << " leaves the labels";
        visited.push_back(label->Id());
    }
    std::sort(visited.begin(), visited.end());
    EXPECT_EQ(std::unique(visited.begin(), visited.end()), visited.end()) << "each once";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Form->SkinImage) << "and round to the face";

    // A label is a button to a screen reader, named after its city.
    TCityLabel* london = nullptr;
    for (TCityLabel* l : Form->CityLabels)
        if (l->Id() == 1)
            london = l;
    ASSERT_NE(london, nullptr);
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(london);
    EXPECT_EQ(i->role(), QAccessible::Button);
    EXPECT_EQ(i->text(QAccessible::Name), QStringLiteral("London"));
    EXPECT_TRUE(i->text(QAccessible::Description).contains(QStringLiteral("United Kingdom")));

    london->setFocus(Qt::TabFocusReason);
    QTest::keyClick(london, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return Form->Data.CurrentCity == Form->Data.Cities.FindById(1); }));
    EXPECT_EQ(QApplication::focusWidget(), Form->SkinImage)
        << "the centred city's label is gone; the face tells the new place";
}

// --- Keys of the other windows ----------------------------------------------------------------

TEST_F(Accessibility, KeysOfTheCompanionWindows) {
    // The location data window closes with Escape, the way its Close does.
    Companions->OpenManage(TManagePage::Cities, TManageMode::Edit, 1);
    TManageForm& manage = Companions->Manage();
    ASSERT_TRUE(manage.isVisible());
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &manage,
                    Qt::Key_Escape);
    EXPECT_FALSE(manage.isVisible());

    // Select City: the arrows move through the list and keep the keyboard there; Space ticks.
    Companions->OpenSelectCity(false);
    TSelectCityForm& select = Companions->SelectCity();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&select));
    QListWidget* list = select.CityCheckListBox;
    list->setFocus(Qt::TabFocusReason);
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_TRUE(
        select.CityLabel->text().startsWith(list->item(1)->text().section(QLatin1Char(' '), 0, 0)));
    const Qt::CheckState before = list->item(1)->checkState();
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_NE(list->item(1)->checkState(), before);
    EXPECT_EQ(QApplication::focusWidget(), list);
    select.hide();

    // Preferences: Up and Down step the daytime edits as their arrows do.
    Companions->OpenPreferences();
    TOptionsForm& options = Companions->Options();
    const int start = options.DaytimeStartHE->text().toInt();
    QTest::keyClick(options.DaytimeStartHE, Qt::Key_Up);
    EXPECT_EQ(options.DaytimeStartHE->text().toInt(), start + 1);
    QTest::keyClick(options.DaytimeStartHE, Qt::Key_Down);
    QTest::keyClick(options.DaytimeStartHE, Qt::Key_Down);
    EXPECT_EQ(options.DaytimeStartHE->text().toInt(), start - 1);
    options.hide();

    // Enter presses the default button: Ok of the zone picker, from its search and its list.
    for (bool fromList : {false, true}) {
        TZonePickerForm picker(*Form);
        picker.Prepare("NP");
        picker.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
        QWidget* at = fromList ? static_cast<QWidget*>(picker.ZoneListBox) : picker.ZoneSearchEdit;
        at->setFocus();
        if (!picker.OkButton->isEnabled())
            GTEST_SKIP() << "no time zone database here";
        QTest::keyClick(at, Qt::Key_Return);
        EXPECT_EQ(picker.result(), QDialog::Accepted) << (fromList ? "list" : "search");
        EXPECT_FALSE(picker.isVisible());
    }
}
