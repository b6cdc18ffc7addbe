#include "select/FirstStartU.h"

#include "ClockHostU.h"
#include "select/MyCityMessageU.h"
#include "select/SelectCityU.h"

#include <QPushButton>

bool RunFirstStart(TClockHost& host, TMyCityMessageForm& message, TSelectCityForm& select) {
    QWidget* window = host.HostWindow();
    const TPlatform& platform = host.Platform();
    TCityList& data = host.Store().Data();
    if (data.Cities.Count() == 0) {
        // Without a city the choice could never be made, and the dialog never be left.
        platform.Messages->Show(
            window, QStringLiteral("This city list holds no cities, so there is no My City to "
                                   "choose. Tavik closes now; start it with a city list that "
                                   "holds cities."));
        return false;
    }
    host.SetTopmost(false);
    window->move(CentredOnWorkArea(platform, window->frameGeometry().size()));
    window->hide();
    message.move(CentredOnWorkArea(platform, message.frameGeometry().size()));
    message.exec(); // Ok, Escape and the close box all lead on to the choice
    if (host.EndRequested())
        return false; // the clock window closed meanwhile: the program ends

    select.move(CentredOnWorkArea(platform, select.frameGeometry().size()));
    select.FirstRun = true;
    select.CancelButton->setEnabled(false);
    select.SetCollections(data, data.MyCity);
    select.EnterMyCityMode();
    select.exec();
    return !host.EndRequested();
}
