#include "ZoneCommandU.h"

#include "WorldCheckU.h"
#include "WorldTablesU.h"
#include "data/ZoneRulesU.h"

#include <cstdlib>
#include <ostream>

namespace {

// As the tables write offsets: "10", not the "1e+01" that the shortest exact form can be.
std::string OffsetText(double hours) {
    const std::string text = FormatGeneral(hours, TLocaleFacts{});
    return std::strtod(text.c_str(), nullptr) == hours ? text : FormatExactDouble(hours);
}

} // namespace

int RunZoneCommand(const std::string& name, std::ostream& out, std::ostream& err) {
    const TZoneDerivation zone = DeriveZone(name, CheckSpanBegin);
    if (!zone.Ok) {
        err << "tvktool: " << name << ": " << zone.Reason << '\n';
        return 1;
    }
    out << CsvField(OffsetText(zone.UTCOffset)) << ',' << CsvField(FormatRule(zone.DSTStart)) << ','
        << CsvField(FormatRule(zone.DSTEnd)) << '\n';
    return 0;
}
