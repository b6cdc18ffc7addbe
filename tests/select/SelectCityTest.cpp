#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "FakePlatform.h"
#include "TestWorld.h"
#include "Widgets.h"
#include "about/SplashU.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "select/FirstStartU.h"
#include "select/MyCityMessageU.h"
#include "select/SelectCityU.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class SelectCity : public ::testing::Test {
protected:
    void Start(int myCity) {
        WriteTestWorld(P.File(QStringLiteral("user.tvk")).toStdString(), myCity);
        Companions.reset(); // they listen to the clock's store, so they go first
        Form = std::make_unique<TTavikForm>(P.Platform, TSkin::Standard());
        Companions = std::make_unique<TCompanionWindows>(*Form);
        Form->SetCompanions(Companions.get());
        Dialog = &Companions->SelectCity();
    }
    // Selects the line of a city in the list of the current mode, as a click would.
    void Click(const char* name) {
        QListWidget* list = Dialog->MyCityMode ? Dialog->CityListBox : Dialog->CityCheckListBox;
        const auto found = list->findItems(QLatin1String(name), Qt::MatchStartsWith);
        ASSERT_FALSE(found.isEmpty()) << name;
        list->setCurrentItem(found.first());
    }
    void TearDown() override {
        if (Dialog) {
            Dialog->FirstRun = false;
            Dialog->close();
        }
    }

    // Windows still up besides menus; the program ends when none is left.
    static QStringList VisibleWindows() {
        QStringList names;
        for (const QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowType() != Qt::Popup)
                names.append(w->objectName());
        return names;
    }
    // Puts a window away after a while and fails, should the code under test never end it.
    static void Guard(QWidget* w, const char* what) {
        QTimer::singleShot(5000, w, [w, what] {
            if (w->isVisible()) {
                ADD_FAILURE() << what << " was never put away";
                if (auto* s = qobject_cast<TSelectCityForm*>(w))
                    s->FirstRun = false;
                w->hide();
            }
        });
    }

    TFakePlatform P;
    std::unique_ptr<TTavikForm> Form;
    std::unique_ptr<TCompanionWindows> Companions;
    TSelectCityForm* Dialog = nullptr;
};

} // namespace

TEST_F(SelectCity, MyCityModeNeedsSetAsMyCityBeforeOk) {
    Start(1);
    Form->SelectMyCity1Click();
    ASSERT_TRUE(Dialog->isVisible());
    EXPECT_EQ(Dialog->windowTitle(), QStringLiteral("Select City"));
    EXPECT_EQ(Dialog->MyCityLabel->text(), QStringLiteral("London, United Kingdom (UTC +0)"));
    EXPECT_FALSE(Dialog->OkButton->isEnabled());
    EXPECT_EQ(Dialog->CityListBox->item(0)->text(), QStringLiteral("Berlin")) << "sorted";
    EXPECT_EQ(Dialog->OkButton->x(), 347);
    EXPECT_EQ(Dialog->MyCityButton->x(), 509);

    Click("London");
    EXPECT_FALSE(Dialog->MyCityButton->isEnabled()) << "already My City";
    EXPECT_TRUE(Dialog->CityLabel->text().endsWith(QStringLiteral(" (My City)")));

    Click("Kathmandu");
    EXPECT_EQ(Dialog->CityLabel->text(), QStringLiteral("Kathmandu, Bagmati, Nepal (UTC +5.75)"));
    ASSERT_TRUE(Dialog->MyCityButton->isEnabled());
    Dialog->MyCityButton->click();
    EXPECT_TRUE(Dialog->OkButton->isEnabled());
    EXPECT_FALSE(Dialog->MyCityButton->isEnabled());
    EXPECT_EQ(Dialog->CityListBox->currentItem()->text(), QStringLiteral("Kathmandu *"));
    EXPECT_TRUE(Form->Data.Modified);
    Dialog->OkButton->click();
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Form->Data.MyCity->LongName, "Kathmandu");
    EXPECT_EQ(Form->Data.CurrentCity, Form->Data.MyCity);
}

TEST_F(SelectCity, SetAsMyCityThenCancelKeepsTheMainWindowsMyCity) {
    Start(1);
    Form->Data.Cities.FindById(3)->Default = false;
    Form->SelectMyCity1Click();
    Click("Delhi");
    Dialog->MyCityButton->click();
    Dialog->CancelButton->click();
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_TRUE(Form->Data.Cities.FindById(3)->Default) << "My City is always on the dial";
    EXPECT_TRUE(Form->Data.Modified);
    EXPECT_EQ(Form->Data.MyCity->UniqueID, 1);
    EXPECT_EQ(Form->Data.CurrentCity->UniqueID, 1);
}

TEST_F(SelectCity, DialModeWritesCheckMarksOnOkAndTypingSelectsOnly) {
    Start(1);
    Form->CitiesonTavik1Click();
    ASSERT_FALSE(Dialog->MyCityMode);
    EXPECT_TRUE(Dialog->NoteBox->isVisible());
    EXPECT_EQ(Dialog->height(), 552);
    QListWidget* list = Dialog->CityCheckListBox;
    ASSERT_EQ(list->count(), 9);
    EXPECT_EQ(list->findItems(QStringLiteral("London *"), Qt::MatchExactly).size(), 1);

    // Typing completes and selects without touching the check marks.
    QTest::keyClicks(Dialog->CityEdit, QStringLiteral("ca"));
    EXPECT_EQ(Dialog->CityEdit->text(), QStringLiteral("Cairo"));
    EXPECT_EQ(Dialog->CityEdit->selectedText(), QStringLiteral("iro"));
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Cairo"));
    EXPECT_EQ(list->currentItem()->checkState(), Qt::Checked);
    // Backspace drops the completion and the last typed letter, then searches again.
    QTest::keyClick(Dialog->CityEdit, Qt::Key_Backspace);
    EXPECT_EQ(Dialog->CityEdit->text(), QStringLiteral("Cairo"));
    EXPECT_EQ(Dialog->CityEdit->selectedText(), QStringLiteral("airo"));
    Dialog->CityEdit->insert(QStringLiteral("\u6771")); // not storable: no match
    EXPECT_EQ(list->currentRow(), -1);

    Dialog->DeselectButton->click();
    list->findItems(QStringLiteral("Lagos"), Qt::MatchExactly).first()->setCheckState(Qt::Checked);
    EXPECT_TRUE(Form->Data.Cities.FindById(1)->Default) << "nothing changes before Ok";
    Dialog->OkButton->click();
    for (const TCity* c : Form->Data.Cities)
        EXPECT_EQ(c->Default, c->LongName == "Lagos") << c->LongName;
    EXPECT_TRUE(Form->Data.Modified);
}

TEST_F(SelectCity, FirstStartCannotBeLeftWithoutAChoiceAndSavesAtOnce) {
    Start(0);
    ASSERT_EQ(Form->Data.MyCity, nullptr);
    TMyCityMessageForm message;
    bool refused = false;
    QTimer::singleShot(0, &message, [&] {
        EXPECT_TRUE(message.isVisible());
        message.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        QTimer::singleShot(0, Dialog, [&] {
            ASSERT_TRUE(Dialog->isVisible());
            EXPECT_FALSE(Dialog->CancelButton->isEnabled());
            QTest::keyClick(Dialog, Qt::Key_Escape);
            EXPECT_TRUE(Dialog->isVisible());
            EXPECT_FALSE(Dialog->close());
            refused = Dialog->isVisible();
            Click("Cairo");
            Dialog->MyCityButton->click();
            Dialog->OkButton->click();
        });
    });
    EXPECT_TRUE(RunFirstStart(*Form, message, *Dialog));
    EXPECT_TRUE(refused);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Form->Data.MyCity->LongName, "Cairo");
    EXPECT_FALSE(Form->Data.Modified) << "saved at once";
    EXPECT_TRUE(Form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    TCityList saved;
    LoadCityListFile(P.File(QStringLiteral("user.tvk")).toStdString(), saved);
    ASSERT_NE(saved.MyCity, nullptr);
    EXPECT_EQ(saved.MyCity->LongName, "Cairo");
}

TEST_F(SelectCity, EmptyCityListEndsTheFirstStartCleanly) {
    {
        TCityList empty;
        empty.Countries.AddWithNewId().Name = "Somewhere";
        SaveCityListFile(P.File(QStringLiteral("user.tvk")).toStdString(), empty);
    }
    const QByteArray before = [&] {
        QFile f(P.File(QStringLiteral("user.tvk")));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    Companions.reset();
    Form = std::make_unique<TTavikForm>(P.Platform, TSkin::Standard());
    Companions = std::make_unique<TCompanionWindows>(*Form);
    Dialog = &Companions->SelectCity();
    TMyCityMessageForm message;
    EXPECT_FALSE(RunFirstStart(*Form, message, *Dialog));
    EXPECT_EQ(P.Shown.size(), 1);
    EXPECT_FALSE(message.isVisible());
    QFile f(P.File(QStringLiteral("user.tvk")));
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(SelectCity, OpeningAnotherCityListPutsAnOpenDialogAway) {
    Start(1);
    Form->CitiesonTavik1Click();
    ASSERT_TRUE(Dialog->isVisible());
    const QString other = P.File(QStringLiteral("other.tvk"));
    WriteTestWorld(other.toStdString(), 2);
    P.FileNames = {other};
    Form->Open1Click();
    EXPECT_FALSE(Dialog->isVisible()) << "its lines named the cities of the old list";
    Form->CitiesonTavik1Click();
    Dialog->OkButton->click();
    EXPECT_EQ(Form->Data.MyCity->LongName, "Kathmandu");
}

TEST_F(SelectCity, ClosingTheClockWindowEndsTheProgramWhateverIsOpen) {
    Start(1);
    Form->show();
    Form->CitiesonTavik1Click();
    Form->Data.Modified = true;
    P.Answers = {TAnswer::No};
    EXPECT_TRUE(Form->close());
    EXPECT_EQ(P.Asked.size(), 1) << "the save prompt came first";
    EXPECT_TRUE(Form->EndRequested());
    EXPECT_EQ(VisibleWindows(), QStringList()) << "Ok can no longer end it without the prompt";

    // A box that a companion waits on goes too, and its loop ends.
    Start(1);
    Form->show();
    Form->CitiesonTavik1Click();
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Apply"),
                                QStringLiteral("Apply?"), QMessageBox::Yes | QMessageBox::No,
                                Dialog); // the dialog's, as its own boxes are
    QTimer::singleShot(0, box, [&] {
        EXPECT_TRUE(box->isVisible());
        Form->close();
    });
    Guard(box, "the box");
    box->exec();
    EXPECT_EQ(VisibleWindows(), QStringList());

    // The About window, modal over the clock window.
    Start(1);
    Form->show();
    QTimer::singleShot(0, &Companions->Splash(), [&] {
        EXPECT_TRUE(Companions->Splash().isVisible());
        Form->close();
    });
    Guard(&Companions->Splash(), "About");
    Form->About1Click();
    EXPECT_EQ(VisibleWindows(), QStringList());
}

TEST_F(SelectCity, ClosingTheClockWindowDuringTheFirstStartEndsIt) {
    const QString user = P.File(QStringLiteral("user.tvk"));
    // While the message window is up.
    Start(0);
    QTimer::singleShot(0, &Companions->MyCityMessage(), [&] { Form->close(); });
    Guard(&Companions->MyCityMessage(), "the message");
    Guard(Dialog, "Select City");
    EXPECT_FALSE(Companions->RunFirstStart());
    EXPECT_FALSE(Dialog->isVisible()) << "the choice is not offered any more";

    // While the choice is offered.
    Start(0);
    const auto before = QFile(user).size();
    TMyCityMessageForm& message = Companions->MyCityMessage();
    QTimer::singleShot(0, &message, [&] {
        message.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        QTimer::singleShot(0, Dialog, [&] {
            EXPECT_TRUE(Dialog->isVisible());
            Form->close();
        });
    });
    Guard(Dialog, "Select City");
    EXPECT_FALSE(Companions->RunFirstStart());
    EXPECT_EQ(VisibleWindows(), QStringList());
    EXPECT_EQ(Form->Data.MyCity, nullptr);
    EXPECT_EQ(QFile(user).size(), before) << "nothing chosen, nothing saved";
}

TEST(SelectCityDialog, EveryWayOutRefreshesTheDial) {
    TFakeClockHost host(1);
    TCompanionWindows companions(host);
    TSelectCityForm& s = companions.SelectCity();
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Escape", [&] { QTest::keyClick(s.CityEdit, Qt::Key_Escape); }},
        {"Cancel", [&] { s.CancelButton->click(); }},
        {"Ok", [&] { s.OkButton->click(); }},
        {"close box", [&] { s.close(); }},
    };
    for (const auto& [name, leave] : ways) {
        companions.OpenSelectCity(false);
        const int before = host.Refreshed;
        leave();
        EXPECT_FALSE(s.isVisible()) << name;
        EXPECT_EQ(host.Refreshed, before + 1) << name;
    }
}

TEST_F(SelectCity, ButtonsStandClearOfTheCitiesFrameAndTheNoteIsReadable) {
    Start(1);
    const QWidget* group = Child<QWidget>(Dialog, "GroupBox1");
    for (bool myCityMode : {true, false, true}) {
        if (myCityMode)
            Form->SelectMyCity1Click();
        else
            Form->CitiesonTavik1Click();
        const QListWidget* list = myCityMode ? Dialog->CityListBox : Dialog->CityCheckListBox;
        EXPECT_LE(list->geometry().bottom(), group->height()) << myCityMode;
        for (const QPushButton* b : Dialog->findChildren<QPushButton*>()) {
            if (!b->isVisibleTo(Dialog))
                continue;
            const std::string what =
                b->objectName().toStdString() + (myCityMode ? " (My City)" : "");
            EXPECT_GT(b->y(), group->geometry().bottom()) << what;
            EXPECT_LE(b->geometry().bottom(), Dialog->height()) << what;
        }
        Dialog->close();
    }

    // In dial mode the frame around the note is disabled, yet the note is drawn in dark text.
    Form->CitiesonTavik1Click();
    auto* memo = Child<QPlainTextEdit>(Dialog, "Memo1");
    EXPECT_FALSE(Child<QWidget>(Dialog, "NoteBox")->isEnabled());
    const QImage shot = memo->grab().toImage();
    int darkest = 255;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            darkest = std::min(darkest, qGray(shot.pixel(x, y)));
    EXPECT_LT(darkest, 80) << "greyed out like a disabled control";
}

TEST_F(SelectCity, TypingAWholeNameSelectsThatCityBeforeLongerOnes) {
    Start(1);
    for (const char* name : {"Limassol", "Lima", "Limerick"}) {
        TCity& c = Form->Data.Cities.AddWithNewId();
        c.LongName = name;
        c.SetShortName(name);
        c.CountryId = 1;
    }
    Form->SelectMyCity1Click();
    ASSERT_TRUE(Dialog->MyCityMode);
    QTest::keyClicks(Dialog->CityEdit, QStringLiteral("Lima"));
    ASSERT_NE(Dialog->CityListBox->currentItem(), nullptr);
    EXPECT_EQ(Dialog->CityListBox->currentItem()->text(), QStringLiteral("Lima"));
    EXPECT_EQ(Dialog->CityEdit->text(), QStringLiteral("Lima"));
    QTest::keyClicks(Dialog->CityEdit, QStringLiteral("s"));
    EXPECT_EQ(Dialog->CityListBox->currentItem()->text(), QStringLiteral("Limassol"));
    Dialog->CityEdit->clear();
    QTest::keyClicks(Dialog->CityEdit, QStringLiteral("lim"));
    EXPECT_EQ(Dialog->CityListBox->currentItem()->text(), QStringLiteral("Lima"))
        << "the first in the list that begins with it";
}
