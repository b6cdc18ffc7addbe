#include "ZoneFileCheckU.h"

#include "TvkToolU.h"
#include "WorldTablesU.h"
#include "data/AnsiTextU.h"
#include "data/CityListU.h"
#include "data/DateTimeU.h"
#include "data/ZoneCheckU.h"

#include <filesystem>
#include <ostream>

namespace fs = std::filesystem;

std::string ZonesFileFor(const std::string& dataFile) {
    fs::path p(dataFile);
    p.replace_extension(".zones");
    return p.string();
}

int WriteWorldZones(const std::string& dir, const std::string& zonesFile, std::ostream& err) {
    TCityList data;
    TWorldExtras extras;
    try {
        ReadWorldTables(dir, data, &extras);
    } catch (const std::exception& e) {
        err << "tvktool: " << e.what() << '\n';
        return 1;
    }
    TZoneMap map;
    for (int i = 0; i < data.Countries.Count(); ++i) {
        const std::string& zone = extras.CountryZones[static_cast<std::size_t>(i)];
        if (!zone.empty())
            map[{AnsiToUtf8(data.Countries.Items(i).Name), "", ""}] = zone;
    }
    for (int i = 0; i < data.States.Count(); ++i) {
        const std::string& zone = extras.StateZones[static_cast<std::size_t>(i)];
        if (!zone.empty())
            map[PlaceZoneKey(data, TPlace{&data.States.Items(i), nullptr})] = zone;
    }
    for (int i = 0; i < data.Cities.Count(); ++i) {
        const std::string& zone = extras.CityZones[static_cast<std::size_t>(i)];
        const TCity& city = data.Cities.Items(i);
        if (!zone.empty() && ZoneOfCity(data, map, city) != zone)
            map[CityZoneKey(data, city)] = zone;
    }
    if (!WriteZoneMapFile(zonesFile, map)) {
        err << FileErrorText(zonesFile, "Cannot create file \"" + zonesFile + "\"") << '\n';
        return 1;
    }
    return 0;
}

int RunCheckFile(const std::string& file, const std::optional<std::string>& zonesFile,
                 std::int64_t fromUtc, std::ostream& out, std::ostream& err) {
    TCityList data;
    try {
        LoadCityListFile(file, data);
    } catch (const EStreamError& e) {
        err << FileErrorText(file, e.what()) << '\n';
        return 1;
    }
    TZoneMap map;
    if (zonesFile) {
        if (!ReadZoneMapFile(*zonesFile, map)) {
            err << "tvktool: " << *zonesFile << ": cannot be read as a zone file\n";
            return 1;
        }
    } else {
        const fs::path folder = fs::path(file).parent_path();
        ReadZoneMapFile((folder / "default.zones").string(), map);
        if (fs::path(file).filename() != "default.tvk")
            ReadZoneMapFile(ZonesFileFor(file), map);
    }
    const TZoneCheckResult r = CheckZones(data, map, fromUtc);
    for (const TZoneCheckItem& i : r.Places)
        if (i.Kind == TZoneCheckItem::Differs)
            out << "differs: " << i.Place << '\t' << i.Zone << "\there " << i.Here
                << "\tthe system " << i.System << "\tfrom "
                << FormatIsoSeconds(FromUnixMilliseconds(i.FirstDifference * 1000)) << " UTC\n";
    for (const TZoneCheckItem& i : r.Places)
        if (i.Kind == TZoneCheckItem::CannotExpress)
            out << "cannot hold: " << i.Place << '\t' << i.Zone << '\t' << i.Reason << '\n';
    for (const TZoneCheckItem& i : r.Places)
        if (i.Kind == TZoneCheckItem::Unchecked)
            out << "unchecked: " << i.Place << '\t' << i.Reason << '\n';
    const std::size_t differ = r.Count(TZoneCheckItem::Differs);
    out << r.Count(TZoneCheckItem::Agrees) << " places agree with the system's zones; " << differ
        << " differ; " << r.Count(TZoneCheckItem::CannotExpress)
        << " have a zone the program's rules cannot hold; " << r.Count(TZoneCheckItem::Unchecked)
        << " unchecked (" << r.CitiesChecked << " of " << data.Cities.Count()
        << " cities with a zone)\n";
    return differ == 0 ? 0 : 1;
}
