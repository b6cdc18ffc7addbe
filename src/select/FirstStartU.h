#pragma once

class TClockHost;
class TMyCityMessageForm;
class TSelectCityForm;

// The first start without My City: the message window, then the Select City dialog that cannot
// be left without a choice, and the city list saved at once. False when the program must end
// instead: a city list without any city offers nothing to choose, or the clock window closed.
bool RunFirstStart(TClockHost& host, TMyCityMessageForm& message, TSelectCityForm& select);
