"""Rule derivation: POSIX TZ strings to the program's rule text, as the world tables hold it."""

import os
import unittest

import tzrules

ZONEINFO = "/usr/share/zoneinfo"


def derive(text):
    return tzrules.model_rules(tzrules.parse_posix_tz(text))


class DeriveRules(unittest.TestCase):
    def test_northern_zones_count_forward_from_the_week_before(self):
        # Last Sunday of a 31-day month: the first Sunday after the 24th; the end rule keeps
        # the daylight clock's time (03:00 CEST), the start rule the standard clock's.
        self.assertEqual(derive("CET-1CEST,M3.5.0,M10.5.0/3"),
                         (1.0, "First Sunday after 24 March 02:00",
                          "First Sunday after 24 October 03:00"))
        # Second Sunday of March and first Sunday of November.
        self.assertEqual(derive("EST5EDT,M3.2.0,M11.1.0"),
                         (-5.0, "First Sunday after 7 March 02:00",
                          "First Sunday after 31 October 02:00"))

    def test_southern_zone_keeps_its_rules_across_the_turn_of_the_year(self):
        self.assertEqual(derive("AEST-10AEDT,M10.1.0,M4.1.0/3"),
                         (10.0, "First Sunday after 30 September 02:00",
                          "First Sunday after 31 March 03:00"))

    def test_times_past_midnight_or_before_it_move_the_day(self):
        # Chile: Saturday 24:00 is Sunday 00:00; Greenland: Sunday -1:00 is Saturday 23:00.
        self.assertEqual(derive("<-04>4<-03>,M9.1.6/24,M4.1.6/24"),
                         (-4.0, "First Sunday after 1 September 00:00",
                          "First Sunday after 1 April 00:00"))
        self.assertEqual(derive("<-02>2<-01>,M3.5.0/-1,M10.5.0/0")[1],
                         "First Saturday after 23 March 23:00")
        # Egypt: last Thursday of October at 24:00 is the Friday after it.
        self.assertEqual(derive("EET-2EEST,M4.5.5/0,M10.5.4/24")[2],
                         "First Friday after 25 October 00:00")

    def test_zone_without_saving(self):
        self.assertEqual(derive("<+03>-3"), (3.0, "none", "none"))
        self.assertEqual(derive("HST10"), (-10.0, "none", "none"))

    def test_fractional_offsets(self):
        self.assertEqual(derive("<+0545>-5:45"), (5.75, "none", "none"))
        self.assertEqual(derive("NST3:30NDT,M3.2.0,M11.1.0")[0], -3.5)
        self.assertEqual(derive("<+1245>-12:45<+1345>,M9.5.0/2:45,M4.1.0/3:45"),
                         (12.75, "First Sunday after 23 September 02:45",
                          "First Sunday after 31 March 03:45"))

    def test_negative_saving_is_turned_into_summer_time(self):
        # Ireland's standard time is IST with a "saving" back to GMT in winter.
        self.assertEqual(derive("IST-1GMT0,M10.5.0,M3.5.0/1"),
                         (0.0, "First Sunday after 24 March 01:00",
                          "First Sunday after 24 October 02:00"))

    def test_what_the_model_cannot_hold(self):
        for text in ("<+1030>-10:30<+11>-11,M10.1.0,M4.1.0",  # half an hour
                     "<+00>0<+02>-2,M3.5.0/1,M10.5.0/3",  # two hours
                     "XST3XDT,M2.5.0,M10.5.0",  # last week of February
                     "XST3XDT,M3.1.0/0:30:30,M10.5.0"):  # seconds
            with self.assertRaises(tzrules.Inexpressible, msg=text):
                derive(text)


@unittest.skipUnless(os.path.exists(os.path.join(ZONEINFO, "Europe/Paris")), "no tzdata")
class CompiledZones(unittest.TestCase):
    def test_footer_of_installed_zones(self):
        _, paris = tzrules.read_tzif(os.path.join(ZONEINFO, "Europe/Paris"))
        self.assertEqual(derive(paris)[1:], ("First Sunday after 24 March 02:00",
                                             "First Sunday after 24 October 03:00"))
        transitions, kathmandu = tzrules.read_tzif(os.path.join(ZONEINFO, "Asia/Kathmandu"))
        self.assertEqual(derive(kathmandu), (5.75, "none", "none"))
        self.assertEqual(transitions[-1][1], 20700)


if __name__ == "__main__":
    unittest.main()
