#include "widgets/PlatformChoiceU.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

auto Reachable(bool answer, std::string* asked = nullptr) {
    return [answer, asked](const std::string& display) {
        if (asked)
            *asked = display;
        return answer;
    };
}

} // namespace

TEST(PlatformChoice, WaylandSessionWithXRunsOnXUnlessTheUserChose) {
    std::string asked;
    const TSessionFacts both{"", ":0", "wayland-0", "wayland"};
    EXPECT_EQ(ChooseQtPlatform(both, Reachable(true, &asked)), "xcb;wayland");
    EXPECT_EQ(asked, ":0");
    // Known as Wayland by the session type alone.
    EXPECT_EQ(ChooseQtPlatform({"", ":1", "", "wayland"}, Reachable(true)), "xcb;wayland");
    // The user's own choice, whatever it is, is left alone.
    EXPECT_EQ(ChooseQtPlatform({"wayland", ":0", "wayland-0", "wayland"}, Reachable(true)), "");
    EXPECT_EQ(ChooseQtPlatform({"offscreen", ":0", "wayland-0", ""}, Reachable(true)), "");
}

TEST(PlatformChoice, WithoutAReachableXServerQtChoosesAlone) {
    // Wayland alone, or an X display named but not answering: no choice, so no warning.
    EXPECT_EQ(ChooseQtPlatform({"", "", "wayland-0", "wayland"}, Reachable(true)), "");
    EXPECT_EQ(ChooseQtPlatform({"", ":5", "wayland-0", "wayland"}, Reachable(false)), "");
    // A plain X session is Qt's default anyway.
    EXPECT_EQ(ChooseQtPlatform({"", ":0", "", "x11"}, Reachable(true)), "");
    EXPECT_EQ(ChooseQtPlatform({"", "", "", ""}, Reachable(true)), "");
}

TEST(PlatformChoice, XDisplayReachableAsksTheServersSocket) {
    EXPECT_FALSE(XDisplayReachable(""));
    EXPECT_FALSE(XDisplayReachable("nonsense"));
    EXPECT_FALSE(XDisplayReachable(":x"));
    EXPECT_TRUE(XDisplayReachable("otherhost:0")); // only a connection can tell
    // A display number nobody serves.
    EXPECT_FALSE(XDisplayReachable(":987"));
    EXPECT_FALSE(XDisplayReachable("unix:987.0"));

    // A listening abstract socket where display 986's would be.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string path = "/tmp/.X11-unix/X986";
    path.copy(addr.sun_path + 1, path.size());
    const auto len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), len) != 0 || ::listen(fd, 1) != 0) {
        ::close(fd);
        GTEST_SKIP() << "cannot listen on an abstract socket here";
    }
    EXPECT_TRUE(XDisplayReachable(":986"));
    EXPECT_TRUE(XDisplayReachable(":986.0"));
    ::close(fd);
    EXPECT_FALSE(XDisplayReachable(":986"));
}

TEST(PlatformChoice, ApplySetsTheVariableOnlyWhenXIsChosen) {
    const char* saved = std::getenv("QT_QPA_PLATFORM");
    const std::string keep = saved ? saved : "";
    const char* savedDisplay = std::getenv("DISPLAY");
    const std::string keepDisplay = savedDisplay ? savedDisplay : "";
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    ApplyQtPlatformChoice();
    EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "offscreen");
    ::unsetenv("QT_QPA_PLATFORM");
    ::setenv("DISPLAY", ":987", 1); // not served
    ApplyQtPlatformChoice();
    EXPECT_EQ(std::getenv("QT_QPA_PLATFORM"), nullptr);
    ::unsetenv("WAYLAND_DISPLAY");
    if (saved)
        ::setenv("QT_QPA_PLATFORM", keep.c_str(), 1);
    if (savedDisplay)
        ::setenv("DISPLAY", keepDisplay.c_str(), 1);
    else
        ::unsetenv("DISPLAY");
}
