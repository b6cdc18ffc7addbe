"""Daylight-saving rules of a time zone, turned into the program's rule model.

The program knows one UTC offset per place and at most one pair of yearly rules that move the
clock forward by exactly one hour. Its weekday rules count "First Sunday after <day>" forward
from a day of the month, and it reads the start rule's time on the standard clock and the end
rule's on the daylight clock. The POSIX TZ string at the end of a compiled zone file describes
a zone's rules for the years after its last listed transition; this module reads it and, where
the model can hold it, writes the table text of the two rules.
"""

import calendar
import re
import struct

MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August",
          "September", "October", "November", "December"]
# POSIX counts weekdays 0 = Sunday .. 6 = Saturday; the tables name them.
POSIX_WEEKDAYS = ["Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"]

# A year in which no month length matters: lengths are those of a common year, February aside.
_COMMON_YEAR = 2027


class Inexpressible(Exception):
    """The zone's rules are beyond what the program's model can hold."""


class PosixTz:
    """One parsed POSIX TZ string: offsets in seconds east of UTC, rules as tuples."""

    def __init__(self, std_offset, dst_offset=None, start=None, end=None):
        self.std_offset = std_offset
        self.dst_offset = dst_offset
        self.start = start  # ("M", month, week, weekday, seconds) or ("J", day, seconds)
        self.end = end

    @property
    def has_dst(self):
        return self.dst_offset is not None and self.start is not None


_NAME = r"(?:<[^>]*>|[A-Za-z]{3,})"
_OFFSET = r"[+-]?\d{1,3}(?::\d{1,2}(?::\d{1,2})?)?"


def _seconds(text):
    sign = -1 if text.startswith("-") else 1
    parts = [int(p) for p in text.lstrip("+-").split(":")]
    while len(parts) < 3:
        parts.append(0)
    return sign * (parts[0] * 3600 + parts[1] * 60 + parts[2])


def _rule(text):
    date, _, time = text.partition("/")
    seconds = _seconds(time) if time else 7200
    m = re.fullmatch(r"M(\d{1,2})\.(\d)\.(\d)", date)
    if m:
        return ("M", int(m.group(1)), int(m.group(2)), int(m.group(3)), seconds)
    m = re.fullmatch(r"J(\d{1,3})", date)
    if m:
        return ("J", int(m.group(1)), seconds)
    if re.fullmatch(r"\d{1,3}", date):
        return ("N", int(date), seconds)
    raise ValueError("unknown rule date: " + text)


def parse_posix_tz(text):
    """Reads a TZ string such as "CET-1CEST,M3.5.0,M10.5.0/3"."""
    m = re.fullmatch(r"(%s)(%s)(?:(%s)(%s)?(?:,([^,]+),([^,]+))?)?" % (_NAME, _OFFSET, _NAME, _OFFSET),
                     text)
    if not m:
        raise ValueError("not a POSIX TZ string: " + text)
    std = -_seconds(m.group(2))  # POSIX offsets count west
    if not m.group(3):
        return PosixTz(std)
    dst = -_seconds(m.group(4)) if m.group(4) else std + 3600
    if not m.group(5):
        raise ValueError("daylight saving without rules: " + text)
    return PosixTz(std, dst, _rule(m.group(5)), _rule(m.group(6)))


def _clock(seconds):
    if seconds % 60:
        raise Inexpressible("change at a time with seconds")
    return "%02d:%02d" % (seconds // 3600, seconds // 60 % 60)


def rule_text(rule):
    """The table text of one POSIX rule, as the program's "First <weekday> after <day>"."""
    if rule[0] == "J":
        _, day, seconds = rule
        shift, tod = divmod(seconds, 86400)
        month, dom = _day_of_common_year(day + shift)
        return "fixed %d %s %s" % (dom, MONTHS[month - 1], _clock(tod))
    if rule[0] == "N":
        raise Inexpressible("zero-based day of the year counts leap days")
    _, month, week, weekday, seconds = rule
    shift, tod = divmod(seconds, 86400)
    if month == 2 and week == 5:
        raise Inexpressible("last week of February moves with leap years")
    length = calendar.monthrange(_COMMON_YEAR, month)[1]
    first = length - 6 if week == 5 else 7 * (week - 1) + 1
    # The change falls on the one day of weekday (weekday + shift) in [first + shift, +6].
    first += shift
    weekday = (weekday + shift) % 7
    after_month, after_day = month, first - 1
    if after_day < 1:
        if month == 1:
            raise Inexpressible("rule reaches into the previous year")
        after_month = month - 1
        if after_month == 2:
            raise Inexpressible("counting from the end of February moves with leap years")
        after_day += calendar.monthrange(_COMMON_YEAR, after_month)[1]
    elif after_day > length:
        if month == 12:
            raise Inexpressible("rule reaches into the next year")
        after_month, after_day = month + 1, after_day - length
    return "First %s after %d %s %s" % (POSIX_WEEKDAYS[weekday], after_day,
                                        MONTHS[after_month - 1], _clock(tod))


def _day_of_common_year(day):
    if not 1 <= day <= 365:
        raise Inexpressible("fixed date outside the year")
    month = 1
    while day > calendar.monthrange(_COMMON_YEAR, month)[1]:
        day -= calendar.monthrange(_COMMON_YEAR, month)[1]
        month += 1
    return month, day


def model_rules(tz):
    """(UTC offset in hours, start rule text, end rule text) for a parsed TZ string.

    Raises Inexpressible when the model cannot hold the zone: a saving other than one hour
    forward, or dates that its rule forms cannot name.
    """
    if not tz.has_dst:
        return tz.std_offset / 3600, "none", "none"
    std, dst, start, end = tz.std_offset, tz.dst_offset, tz.start, tz.end
    if dst - std == -3600:
        # Winter is the "daylight" period (negative saving): the summer clock is standard
        # plus one hour, with the rules swapped; each time stays on the clock it was read on.
        std, dst, start, end = dst, std, end, start
    if dst - std != 3600:
        raise Inexpressible("saving of %g hours" % ((dst - std) / 3600))
    return std / 3600, rule_text(start), rule_text(end)


def read_tzif(path):
    """(transitions as [(utc seconds, offset seconds)], POSIX footer) of a compiled zone."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"TZif":
        raise ValueError(path + ": not a compiled zone file")
    version = data[4:5]

    def block(pos, time_size):
        isut, isstd, leap, timecnt, typecnt, charcnt = struct.unpack(">6l", data[pos + 20:pos + 44])
        pos += 44
        fmt = ">%d%s" % (timecnt, "q" if time_size == 8 else "l")
        times = struct.unpack(fmt, data[pos:pos + timecnt * time_size])
        pos += timecnt * time_size
        idx = data[pos:pos + timecnt]
        pos += timecnt
        types = [struct.unpack(">lBB", data[pos + 6 * i:pos + 6 * i + 6]) for i in range(typecnt)]
        pos += typecnt * 6 + charcnt + leap * (time_size + 4) + isstd + isut
        return pos, [(t, types[i][0]) for t, i in zip(times, idx)]

    pos, transitions = block(0, 4)
    footer = ""
    if version >= b"2":
        pos, transitions = block(pos, 8)
        footer = data[pos:].decode("ascii").strip("\n")
    return transitions, footer
