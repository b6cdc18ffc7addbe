#include "widgets/PlatformChoiceU.h"

#include <cstddef>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// ":1", ":1.0", "unix:1" name the local server 1, "host:1" another machine's; false for a
// name that is no display at all.
bool ParseDisplay(const std::string& display, bool& local, std::string& number) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos)
        return false;
    const std::string host = display.substr(0, colon);
    local = host.empty() || host == "unix" || host.front() == '/';
    number = display.substr(colon + 1);
    const std::size_t dot = number.find('.');
    if (dot != std::string::npos)
        number.resize(dot);
    return !number.empty() && number.find_first_not_of("0123456789") == std::string::npos;
}

// The server listens on a path socket, an abstract one, or both; either will do.
bool SocketAnswers(const std::string& path, bool abstract) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof(addr.sun_path)) {
        ::close(fd);
        return false;
    }
    path.copy(addr.sun_path + offset, path.size());
    const auto len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() +
                                            (abstract ? 0 : 1));
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), len) == 0;
    ::close(fd);
    return ok;
}

} // namespace

std::string ChooseQtPlatform(const TSessionFacts& f,
                             const std::function<bool(const std::string&)>& xDisplayReachable) {
    if (!f.QtPlatform.empty())
        return {};
    const bool wayland = !f.WaylandDisplay.empty() || f.SessionType == "wayland";
    if (!wayland || f.Display.empty())
        return {}; // plain X, or Wayland alone: Qt's own choice is the only one
    if (!xDisplayReachable(f.Display))
        return {};
    // Should the server vanish between the check and the connection, Qt takes Wayland.
    return "xcb;wayland";
}

bool WindowsPlaceThemselves(const std::string& name) {
    return name.rfind("wayland", 0) != 0;
}

bool XDisplayReachable(const std::string& display) {
    bool local = false;
    std::string number;
    if (!ParseDisplay(display, local, number))
        return false;
    if (!local)
        return true; // only a connection can tell; Qt falls back to Wayland if it fails
    const std::string path = "/tmp/.X11-unix/X" + number;
    return SocketAnswers(path, false) || SocketAnswers(path, true);
}

void ApplyQtPlatformChoice() {
    const TSessionFacts f{Env("QT_QPA_PLATFORM"), Env("DISPLAY"), Env("WAYLAND_DISPLAY"),
                          Env("XDG_SESSION_TYPE")};
    const std::string choice = ChooseQtPlatform(f, XDisplayReachable);
    if (!choice.empty())
        ::setenv("QT_QPA_PLATFORM", choice.c_str(), 1);
}
