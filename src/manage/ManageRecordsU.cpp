#include "manage/ManageRecordsU.h"

#include "data/AnsiTextU.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

const char* const EmptyNameMessage = "Name should not be empty";
const char* const SelectCountryMessage = "Please select a country";
const char* const InvalidDSTMessage = "Invalid/incomplete daylight saving dates. Please check the "
                                      "fields, or uncheck \"Daylight Saving\"";

namespace {

// The bytes of the UTF-8 sequence that starts at i (1 for a stray byte).
std::size_t SequenceLength(const std::string& s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
    return std::min(n, s.size() - i);
}

TApplyOutcome Refuse(const std::string& message, TManageField focus) {
    TApplyOutcome o;
    o.Message = message;
    o.Focus = focus;
    return o;
}

// Converts each text in turn; the first that cannot be stored refuses with its field.
struct TStoredTexts {
    TApplyOutcome Refusal;
    bool Ok = true;
    void Take(const std::string& utf8, std::string& ansi, TManageField field) {
        std::string message;
        if (Ok && !StorableText(utf8, ansi, message)) {
            Ok = false;
            Refusal = Refuse(message, field);
        }
    }
    // A name as the file keeps it, without blanks around it: the checks and the record see
    // what a restart will read.
    void TakeName(const std::string& utf8, std::string& ansi, TManageField field) {
        Take(utf8, ansi, field);
        ansi = TrimAnsi(ansi);
    }
};

void SetOffset(double& stored, const std::string& text, const TLocaleFacts& locale,
               TApplyOutcome& outcome) {
    stored = OffsetFromText(text, stored, locale, outcome);
}

} // namespace

bool StorableText(const std::string& utf8, std::string& ansi, std::string& refusal) {
    if (Utf8ToAnsi(utf8, ansi))
        return true;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = SequenceLength(utf8, i);
        const std::string one = utf8.substr(i, n);
        if (!CanHoldAsAnsi(one)) {
            refusal = "The character \"" + one +
                      "\" cannot be stored in the city list. Please replace it.";
            return false;
        }
        i += n;
    }
    refusal = "This text cannot be stored in the city list. Please replace it.";
    return false;
}

bool ParseOffset(const std::string& text, char decimalSeparator, double& out) {
    std::string t;
    for (char c : text) {
        if (c == decimalSeparator)
            c = '.';
        t += c;
    }
    const std::size_t b = t.find_first_not_of(' ');
    if (b == std::string::npos)
        return false;
    t = t.substr(b, t.find_last_not_of(' ') - b + 1);
    // Digits, one point and a leading sign only: no exponents, no hexadecimal, no "inf".
    bool digit = false, point = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.' && !point)
            point = true;
        else if (!((c == '+' || c == '-') && i == 0))
            return false;
    }
    if (!digit)
        return false;
    out = std::strtod(t.c_str(), nullptr);
    return std::isfinite(out);
}

double OffsetFromText(const std::string& text, double stored, const TLocaleFacts& locale,
                      TApplyOutcome& outcome) {
    double value = 0;
    if (ParseOffset(text, locale.DecimalSeparator, value) && value >= MinUTCOffset &&
        value <= MaxUTCOffset)
        return value;
    outcome.OffsetReset = true;
    outcome.OffsetText = FormatGeneral(stored, locale);
    return stored;
}

// --- Countries -------------------------------------------------------------------------------

TApplyOutcome ApplyCountry(TLocationStore& store, TCountry*& edited, bool newMode,
                           const TCountryInput& input, const TDSTSummaryContext& context) {
    const TCityList& data = store.Data();
    if (!newMode && edited == nullptr)
        return {}; // no record to store into
    std::string name, code;
    TStoredTexts texts;
    texts.TakeName(input.Name, name, TManageField::Name);
    texts.Take(input.Code, code, TManageField::Code);
    if (!texts.Ok)
        return texts.Refusal;
    const TCountry* other = newMode ? nullptr : edited;
    for (const TCountry* c : data.Countries)
        if (c != other && TrimAnsi(c->Name) == name)
            return Refuse("A country is already in the list with that name. Please choose "
                          "another name.",
                          TManageField::Name);
    if (name.empty())
        return Refuse(EmptyNameMessage, TManageField::Name);
    if (!ValidateDSTPanel(input.Panel, context).Valid)
        return Refuse(InvalidDSTMessage, TManageField::None);

    TApplyOutcome outcome;
    outcome.Applied = true;
    TCountryChange change{newMode ? nullptr : edited, newMode ? TCountry{} : *edited};
    TCountry& c = change.Value;
    c.Name = name;
    c.Code = code;
    c.CapitalCity = input.CapitalCity;
    SetOffset(c.UTCOffset, input.Offset, context.Locale, outcome);
    StoreDSTPanel(input.Panel, TDSTPanelOwner::Country, c.DSTStart, c.DSTEnd);
    edited = &store.ApplyCountry(change);
    return outcome;
}

std::string CountryDeleteRefusal(const TCityList& data, const TCountry& country) {
    std::string reasons;
    for (const TState* s : data.States)
        if (s->CountryId == country.UniqueId) {
            reasons += "* This country cannot be removed because there are states in the "
                       "database which reside in this country. Please remove all the states in "
                       "this country before removing the country.\r\n\r\n";
            break;
        }
    for (const TCity* c : data.Cities)
        if (c->CountryId == country.UniqueId) {
            reasons += "* This country cannot be removed because there are cities in the "
                       "database which reside in this country. Please remove all the cities in "
                       "this country before removing the country\r\n";
            break;
        }
    if (reasons.empty())
        return reasons;
    return "This country cannot be removed because of the following reasons: \r\n\r\n" + reasons;
}

// --- States ----------------------------------------------------------------------------------

TApplyOutcome ApplyState(TLocationStore& store, TState*& edited, bool newMode,
                         const TStateInput& input, const TDSTSummaryContext& context) {
    const TCityList& data = store.Data();
    if (!newMode && edited == nullptr)
        return {}; // no record to store into
    std::string name, code;
    TStoredTexts texts;
    texts.TakeName(input.Name, name, TManageField::Name);
    texts.Take(input.Code, code, TManageField::Code);
    if (!texts.Ok)
        return texts.Refusal;
    if (name.empty())
        return Refuse(EmptyNameMessage, TManageField::Name);
    const TCountry* country = data.Countries.FindById(input.CountryId);
    if (country == nullptr)
        return Refuse(SelectCountryMessage, TManageField::Country);
    if (!ValidateDSTPanel(input.Panel, context).Valid)
        return Refuse(InvalidDSTMessage, TManageField::None);
    const TState* other = newMode ? nullptr : edited;
    for (const TState* s : data.States)
        if (s != other && TrimAnsi(s->Name) == name && s->CountryId == country->UniqueId)
            return Refuse("There is already a state called " + AnsiToUtf8(name) + " in " +
                              AnsiToUtf8(country->Name) + ". Please choose another name.",
                          TManageField::Name);

    TApplyOutcome outcome;
    outcome.Applied = true;
    TStateChange change{newMode ? nullptr : edited, newMode ? TState{} : *edited};
    TState& s = change.Value;
    s.Name = name;
    s.Code = code;
    s.CountryId = country->UniqueId;
    SetOffset(s.UTCOffset, input.Offset, context.Locale, outcome);
    StoreDSTPanel(input.Panel, TDSTPanelOwner::State, s.DSTStart, s.DSTEnd);
    edited = &store.ApplyState(change);
    return outcome;
}

std::string StateDeleteRefusal(const TCityList& data, const TState& state) {
    for (const TCity* c : data.Cities)
        if (c->StateId == state.UniqueID)
            return "This state cannot be removed because there are cities in the database which "
                   "reside in this state. Please remove all the cities in this state before "
                   "removing the state.";
    return {};
}

// --- Cities ----------------------------------------------------------------------------------

TApplyOutcome ApplyCity(TLocationStore& store, TCity*& edited, bool newMode,
                        const TCityInput& input) {
    const TCityList& data = store.Data();
    if (!newMode && edited == nullptr)
        return {}; // no record to store into
    std::string longName, shortName;
    TStoredTexts texts;
    texts.TakeName(input.LongName, longName, TManageField::LongName);
    texts.TakeName(input.ShortName, shortName, TManageField::ShortName);
    if (!texts.Ok)
        return texts.Refusal;
    if (shortName.empty())
        return Refuse("Short Name should not be empty", TManageField::ShortName);
    if (longName.empty())
        return Refuse("Long Name should not be empty", TManageField::LongName);
    TCountry* country = data.Countries.FindById(input.CountryId);
    if (country == nullptr)
        return Refuse(SelectCountryMessage, TManageField::Country);

    TApplyOutcome outcome;
    outcome.Applied = true;
    TCityChange change{newMode ? nullptr : edited, newMode ? TCity{} : *edited, nullptr, {}};
    TCity& c = change.Value;
    c.SetShortName(shortName);
    c.LongName = longName;
    const TState* state = data.States.FindById(input.StateId);
    if (state == nullptr) {
        c.CountryId = country->UniqueId;
        c.StateId = 0;
    } else {
        c.StateId = state->UniqueID;
        c.CountryId = 0;
        country = data.Countries.FindById(state->CountryId);
    }
    // Unchecking never takes the capital away: another city may be it by now.
    if (input.Capital)
        change.CapitalOf = country;
    c.Default = input.Default;
    change.Airports = input.Airports;
    edited = &store.ApplyCity(change);
    return outcome;
}

std::string CityDeleteRefusal(const TCity& city, const TCity* myCity) {
    if (&city != myCity)
        return {};
    return "This city cannot be removed because of the following reasons: \r\n\r\n"
           "* This city is set to My City. It cannot be deleted.\r\n";
}

bool AirportIsFull(const TAirport& airport, std::int32_t cityId) {
    for (int slot = 1; slot <= TAirport::SlotCount; ++slot) {
        const std::int32_t id = airport.ClosestCities(slot);
        if (id == 0 || id == cityId)
            return false;
    }
    return true;
}

std::string FullAirportMessage(const TAirport& airport) {
    return AnsiToUtf8(airport.Name) + " already serves " + std::to_string(MaxClosestCities) +
           " cities, the most an airport can serve. Please remove one of them on the airport "
           "page first.";
}

// --- Airports --------------------------------------------------------------------------------

TApplyOutcome ApplyAirport(TLocationStore& store, TAirport*& edited, bool newMode,
                           const TAirportInput& input) {
    const TCityList& data = store.Data();
    if (!newMode && edited == nullptr)
        return {}; // no record to store into
    std::string name;
    std::array<std::string, TAirport::SlotCount> codes;
    TStoredTexts texts;
    texts.TakeName(input.Name, name, TManageField::Name);
    int badRow = -1;
    for (int r = 0; r < TAirport::SlotCount && texts.Ok; ++r) {
        texts.Take(input.Codes[static_cast<std::size_t>(r)], codes[static_cast<std::size_t>(r)],
                   TManageField::Codes);
        if (!texts.Ok)
            badRow = r;
    }
    if (!texts.Ok) {
        texts.Refusal.CodeRow = badRow;
        return texts.Refusal;
    }
    if (name.empty())
        return Refuse(EmptyNameMessage, TManageField::Name);
    const TCountry* country = data.Countries.FindById(input.CountryId);
    if (country == nullptr)
        return Refuse(SelectCountryMessage, TManageField::Country);

    TApplyOutcome outcome;
    outcome.Applied = true;
    TAirportChange change{newMode ? nullptr : edited, newMode ? TAirport{} : *edited};
    TAirport& a = change.Value;
    a.Name = name;
    for (int slot = 1; slot <= TAirport::SlotCount; ++slot)
        a.SetCodes(slot, codes[static_cast<std::size_t>(slot - 1)]);
    a.CountryId = country->UniqueId;
    a.StateId = data.States.FindById(input.StateId) ? input.StateId : 0;
    for (int slot = 1; slot <= TAirport::SlotCount; ++slot)
        a.SetClosestCities(slot, 0);
    int slot = 1;
    for (std::int32_t id : input.Cities)
        if (id != 0 && slot <= TAirport::SlotCount)
            a.SetClosestCities(slot++, id);
    edited = &store.ApplyAirport(change);
    return outcome;
}

std::string TooManyCitiesMessage() {
    return "You cannot select more than " + std::to_string(MaxClosestCities) +
           " cities per airport. Please deselect.";
}

const TCountry* CountryOfPlace(const TCityList& data, std::int32_t stateId,
                               std::int32_t countryId) {
    if (stateId != 0) {
        const TState* s = data.States.FindById(stateId);
        return s ? data.Countries.FindById(s->CountryId) : nullptr;
    }
    return data.Countries.FindById(countryId);
}

namespace {

// FNV-1a, fed field by field.
class TDigest {
public:
    void Bytes(const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (std::size_t i = 0; i < n; ++i)
            Value = (Value ^ b[i]) * 0x100000001B3ULL;
    }
    void Text(const std::string& s) {
        const std::uint64_t n = s.size();
        Bytes(&n, sizeof n);
        Bytes(s.data(), s.size());
    }
    template <typename T> void Plain(const T& v) { Bytes(&v, sizeof v); }
    std::uint64_t Value = 0xCBF29CE484222325ULL;
};

} // namespace

std::uint64_t ListsFingerprint(const TCityList& data, const TCity* myCity) {
    TDigest d;
    d.Plain(myCity);
    for (const TCountry* c : data.Countries) {
        d.Plain(c);
        d.Plain(c->UniqueId);
        d.Plain(c->UTCOffset);
        d.Text(c->Name);
    }
    for (const TState* s : data.States) {
        d.Plain(s);
        d.Plain(s->UniqueID);
        d.Plain(s->CountryId);
        d.Plain(s->UTCOffset);
        d.Text(s->Name);
    }
    for (const TCity* c : data.Cities) {
        d.Plain(c);
        d.Text(c->LongName);
    }
    for (const TAirport* a : data.Airports) {
        d.Plain(a);
        d.Text(a->Name);
    }
    return d.Value;
}
