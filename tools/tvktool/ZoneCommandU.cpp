#include "ZoneCommandU.h"

#include "WorldCheckU.h"
#include "WorldTablesU.h"
#include "ZoneRulesU.h"

#include <ostream>

int RunZoneCommand(const std::string& name, std::ostream& out, std::ostream& err) {
    const TZoneDerivation zone = DeriveZone(name, CheckSpanBegin);
    if (!zone.Ok) {
        err << "tvktool: " << name << ": " << zone.Reason << '\n';
        return 1;
    }
    out << CsvField(FormatExactDouble(zone.UTCOffset)) << ',' << CsvField(FormatRule(zone.DSTStart))
        << ',' << CsvField(FormatRule(zone.DSTEnd)) << '\n';
    return 0;
}
