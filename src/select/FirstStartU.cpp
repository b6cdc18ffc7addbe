#include "FirstStartU.h"

#include "MyCityMessageU.h"
#include "SelectCityU.h"
#include "TavikU.h"

#include <QPushButton>

bool RunFirstStart(TTavikForm& form, TMyCityMessageForm& message, TSelectCityForm& select) {
    if (form.Data.Cities.Count() == 0) {
        // Without a city the choice could never be made, and the dialog never be left.
        form.Platform().Messages->Show(
            &form, QStringLiteral("This city list holds no cities, so there is no My City to "
                                  "choose. Tavik closes now; start it with a city list that "
                                  "holds cities."));
        return false;
    }
    form.SetTopmost(false);
    form.move(form.CentredPosition(form.frameGeometry().size()));
    form.hide();
    message.move(form.CentredPosition(message.frameGeometry().size()));
    message.exec(); // Ok, Escape and the close box all lead on to the choice

    select.move(form.CentredPosition(select.frameGeometry().size()));
    select.FirstRun = true;
    select.CancelButton->setEnabled(false);
    select.SetCollections(form.Data, form.Data.MyCity);
    select.EnterMyCityMode();
    select.exec();
    return true;
}
