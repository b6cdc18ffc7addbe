#pragma once

#include <iosfwd>
#include <string>

// tvktool zone NAME: the offset and the two rules that the program derives from a zone of the
// system's database, as one line of the world tables' columns UTCOffset,DSTStart,DSTEnd. A zone
// the rules cannot hold prints its reason on err. Exit status 0 done, 1 refused or unreadable.
// Listed changes are judged from the first instant the tables are checked for.
int RunZoneCommand(const std::string& name, std::ostream& out, std::ostream& err);
