#include "data/CityListU.h"
#include "data/InstanceLockU.h"
#include "data/StreamU.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <set>
#include <spawn.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

class TempDir {
public:
    TempDir() {
        Path = fs::temp_directory_path() /
               ("tavik-safety-" + std::to_string(::getpid()) + "-" + std::to_string(Counter++));
        fs::remove_all(Path);
        fs::create_directories(Path);
        fs::permissions(Path, fs::perms(0755));
    }
    ~TempDir() {
        // Closed folders are opened again so that everything can go.
        for (const auto& e : fs::recursive_directory_iterator(Path))
            if (e.symlink_status().type() == fs::file_type::directory)
                fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(Path);
    }
    std::string operator/(const std::string& name) const { return (Path / name).string(); }
    std::set<std::string> Names(const std::string& sub = "") const {
        std::set<std::string> r;
        for (const auto& e : fs::directory_iterator(Path / sub))
            r.insert(e.path().filename().string());
        return r;
    }
    fs::path Path;
    static inline int Counter = 0;
};

Bytes B(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

std::string Text(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const std::string& file, const std::string& text, mode_t mode = 0666) {
    std::ofstream(file, std::ios::binary) << text;
    ::chmod(file.c_str(), mode);
}

mode_t ModeOf(const std::string& file) {
    struct stat st {};
    ::stat(file.c_str(), &st);
    return st.st_mode & 07777;
}

ino_t InodeOf(const std::string& file) {
    struct stat st {};
    ::stat(file.c_str(), &st);
    return st.st_ino;
}

// Runs fn in a child process as a user whom permissions bind: as "nobody" when the tests run
// as root (root may create files in any folder), else as the user running them. Limits and
// signal settings that fn makes end with the child. Answers fn's answer.
bool AsPlainUser(const std::function<bool()>& fn) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        bool ok = ::geteuid() != 0 ||
                  (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0);
        try {
            ok = ok && fn();
        } catch (...) {
            ok = false;
        }
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

template <typename E> bool Throws(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const E&) {
        return true;
    } catch (...) {
    }
    return false;
}

} // namespace

TEST(SafeSave, KeepsOneBackupGenerationAndThePermissions) {
    TempDir dir;
    const std::string file = dir / "user.tvk";
    const mode_t mask = ::umask(022);
    ReplaceFileContent(file, B("first"), TBackup::Keep);
    EXPECT_EQ(0644u, ModeOf(file)) << "a new file gets the usual bits";
    EXPECT_EQ((std::set<std::string>{"user.tvk"}), dir.Names()) << "nothing to back up yet";

    ReplaceFileContent(file, B("second"), TBackup::Keep);
    EXPECT_EQ("second", Text(file));
    EXPECT_EQ("first", Text(dir / "user.tvk.bak"));
    ::chmod(file.c_str(), 0640);
    ReplaceFileContent(file, B("third"), TBackup::Keep);
    EXPECT_EQ("third", Text(file));
    EXPECT_EQ("second", Text(dir / "user.tvk.bak")) << "one generation, the one just replaced";
    EXPECT_EQ(0640u, ModeOf(file));
    EXPECT_EQ(0640u, ModeOf(dir / "user.tvk.bak"));
    EXPECT_EQ((std::set<std::string>{"user.tvk", "user.tvk.bak"}), dir.Names());

    // Without a backup wanted none is made.
    ReplaceFileContent(dir / "prefs", B("a"));
    ReplaceFileContent(dir / "prefs", B("b"));
    EXPECT_FALSE(fs::exists(dir / "prefs.bak"));

    // A backup that cannot be made stops the save before anything changes.
    fs::create_directory(dir / "blocked");
    Put(dir / "blocked/user.tvk", "kept");
    fs::create_directory(dir / "blocked/user.tvk.bak");
    try {
        ReplaceFileContent(dir / "blocked/user.tvk", B("lost"), TBackup::Keep);
        ADD_FAILURE() << "saved without its backup";
    } catch (const EFCreateError& e) {
        EXPECT_EQ("Cannot create file " + (dir / "blocked/user.tvk.bak"), e.what());
    }
    EXPECT_EQ("kept", Text(dir / "blocked/user.tvk"));
    EXPECT_EQ((std::set<std::string>{"user.tvk", "user.tvk.bak"}), dir.Names("blocked"));
    ::umask(mask);
}

TEST(SafeSave, ThroughALinkUpdatesTheTargetAndKeepsTheLink) {
    TempDir dir;
    fs::create_directory(dir / "app");
    fs::create_directory(dir / "sync");
    Put(dir / "sync/user.tvk", "old", 0600);
    fs::create_symlink("../sync/user.tvk", dir / "app/user.tvk");
    fs::create_symlink(dir / "app/user.tvk", dir / "app/chain.tvk"); // a link to the link

    const std::string link = dir / "app/user.tvk";
    EXPECT_EQ(dir / "app/../sync/user.tvk.bak", BackupFileName(link));
    ReplaceFileContent(link, B("new"), TBackup::Keep);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ("../sync/user.tvk", fs::read_symlink(link).string());
    EXPECT_EQ("new", Text(dir / "sync/user.tvk"));
    EXPECT_EQ("old", Text(dir / "sync/user.tvk.bak"));
    EXPECT_EQ(0600u, ModeOf(dir / "sync/user.tvk"));
    EXPECT_EQ((std::set<std::string>{"user.tvk", "chain.tvk"}), dir.Names("app"));

    ReplaceFileContent(dir / "app/chain.tvk", B("newer"), TBackup::Keep);
    EXPECT_TRUE(fs::is_symlink(dir / "app/chain.tvk"));
    EXPECT_EQ("newer", Text(dir / "sync/user.tvk"));
    EXPECT_EQ("new", Text(dir / "sync/user.tvk.bak"));

    // A link to a file not made yet makes it there.
    fs::create_symlink(dir / "sync/other.tvk", dir / "app/other.tvk");
    ReplaceFileContent(dir / "app/other.tvk", B("made"), TBackup::Keep);
    EXPECT_TRUE(fs::is_symlink(dir / "app/other.tvk"));
    EXPECT_EQ("made", Text(dir / "sync/other.tvk"));

    // Links in a circle, and links to what is no file, are not written (and nothing blocks).
    fs::create_symlink("b", dir / "app/a");
    fs::create_symlink("a", dir / "app/b");
    EXPECT_THROW(ReplaceFileContent(dir / "app/a", B("x")), EFCreateError);
    ASSERT_EQ(0, ::mkfifo((dir / "sync/fifo").c_str(), 0666));
    fs::create_symlink(dir / "sync/fifo", dir / "app/fifo.tvk");
    EXPECT_THROW(ReplaceFileContent(dir / "app/fifo.tvk", B("x")), EFCreateError);
    EXPECT_THROW(ReplaceFileContent(dir / "sync/fifo", B("x")), EFCreateError);
    EXPECT_TRUE(fs::is_symlink(dir / "app/fifo.tvk"));
    EXPECT_TRUE(fs::is_fifo(dir / "sync/fifo"));
}

TEST(SafeSave, InAClosedFolderOnlyAfterABackupWrittenInPlace) {
    TempDir dir;
    const std::string folder = dir / "closed";
    const std::string file = dir / "closed/user.tvk";
    const std::string backup = dir / "closed/user.tvk.bak";
    fs::create_directory(folder);
    Put(file, "old content", 0666);
    Put(backup, "older content, and longer", 0666);
    Put(dir / "closed/locked.tvk", "read only", 0444);
    const ino_t inode = InodeOf(file);
    ::chmod(folder.c_str(), 0555);

    EXPECT_TRUE(AsPlainUser([&] {
        ReplaceFileContent(file, B("new"), TBackup::Keep);
        return true;
    }));
    EXPECT_EQ("new", Text(file));
    EXPECT_EQ(inode, InodeOf(file)) << "the same file, written where it is";
    EXPECT_EQ("old content", Text(backup)) << "the backup first";
    EXPECT_TRUE(AsPlainUser([&] {
        return Throws<EFCreateError>(
            [&] { ReplaceFileContent(dir / "closed/locked.tvk", B("x"), TBackup::Keep); });
    }));
    EXPECT_EQ("read only", Text(dir / "closed/locked.tvk"));
    EXPECT_TRUE(AsPlainUser([&] {
        return Throws<EFCreateError>([&] { ReplaceFileContent(dir / "closed/new.tvk", B("x")); });
    }));

    // A write that fails part-way (here at a size limit) puts the old content back, and the
    // backup holds it too.
    const std::string big(300, 'b');
    EXPECT_TRUE(AsPlainUser([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &small);
        return Throws<EWriteError>([&] { ReplaceFileContent(file, B(big), TBackup::Keep); });
    }));
    EXPECT_EQ("new", Text(file));
    EXPECT_EQ("new", Text(backup));

    // Killed while it writes: what is left is a beginning that the reader refuses (never old
    // records behind new ones), and the backup is whole.
    TCityList small;
    Bytes smallBytes;
    {
        TMemoryOutStream out;
        WriteCityList(out, small);
        smallBytes = out.Bytes;
    }
    TCityList world;
    for (int i = 0; i < 20; ++i)
        world.Countries.AddWithNewId().Name = "Country " + std::to_string(i);
    TMemoryOutStream worldOut;
    WriteCityList(worldOut, world);
    ReplaceFileContent(file, smallBytes); // the folder's owner may still write the file
    const pid_t pid = ::fork();
    if (pid == 0) {
        rlimit cut{2000, 2000}; // the next write past it ends the process, as a kill would
        ::setrlimit(RLIMIT_FSIZE, &cut);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        ReplaceFileContent(file, worldOut.Bytes, TBackup::Keep);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the save ran to its end";
    EXPECT_EQ(2000u, fs::file_size(file));
    EXPECT_FALSE(CityListReadsCleanly(file));
    EXPECT_EQ(std::string(smallBytes.begin(), smallBytes.end()), Text(backup));
    EXPECT_TRUE(CityListReadsCleanly(backup));

    // Without a backup file to write over, none can be made: the save is refused, naming it.
    ::chmod(folder.c_str(), 0755);
    fs::remove(backup);
    Put(file, "kept", 0666);
    ::chmod(folder.c_str(), 0555);
    EXPECT_TRUE(AsPlainUser([&] {
        try {
            ReplaceFileContent(file, B(big), TBackup::Keep);
        } catch (const EFCreateError& e) {
            return e.what() == "Cannot create file " + backup;
        }
        return false;
    }));
    EXPECT_EQ("kept", Text(file));
    EXPECT_EQ((std::set<std::string>{"user.tvk", "locked.tvk"}), dir.Names("closed"));
    // The city list is saved the same way: refused, and still marked as modified.
    TCityList d;
    d.Modified = true;
    EXPECT_TRUE(AsPlainUser(
        [&] { return Throws<EFCreateError>([&] { SaveCityListFile(file, d); }) && d.Modified; }));
    EXPECT_EQ("kept", Text(file));
    // A file kept without a backup (the preferences) is still written in place.
    EXPECT_TRUE(AsPlainUser([&] {
        ReplaceFileContent(file, B("prefs"));
        return true;
    }));
    EXPECT_EQ("prefs", Text(file));
}

TEST(SafeSave, ADamagedFileNeverReplacesAGoodBackup) {
    TempDir dir;
    const std::string file = dir / "user.tvk";
    const std::string backup = dir / "user.tvk.bak";
    TCityList good;
    good.Countries.AddWithNewId().Name = "Good";
    SaveCityListFile(backup, good, TBackup::None);
    Put(file, std::string(30, '\x01')); // a count of countries that the file cannot hold
    ASSERT_FALSE(CityListReadsCleanly(file));
    ASSERT_TRUE(CityListReadsCleanly(backup));
    const std::string goodBytes = Text(backup);

    TCityList next;
    next.Countries.AddWithNewId().Name = "Next";
    SaveCityListFile(file, next);
    EXPECT_EQ(goodBytes, Text(backup)) << "the good backup stays";
    TCityList read;
    LoadCityListFile(file, read);
    EXPECT_EQ("Next", read.Countries.Items(0).Name);

    // From now on the file reads cleanly and goes to the backup as usual.
    SaveCityListFile(file, good);
    LoadCityListFile(backup, read);
    EXPECT_EQ("Next", read.Countries.Items(0).Name);

    // Without a backup that reads, the damaged file is what is kept: nothing is lost.
    Put(file, std::string(30, '\x01'));
    Put(backup, "damaged too");
    SaveCityListFile(file, next);
    EXPECT_EQ(std::string(30, '\x01'), Text(backup));
}

TEST(FileReading, RegularFilesOnlyAndNoMoreThanTheirSize) {
    TempDir dir;
    ASSERT_EQ(0, ::mkfifo((dir / "fifo").c_str(), 0666));
    fs::create_symlink("/dev/zero", dir / "zero");
    fs::create_directory(dir / "folder");
    // Each would block, never end or fail oddly if it were opened and read.
    for (const std::string& f :
         {dir / "fifo", dir / "zero", std::string("/dev/zero"), dir / "folder", dir / "missing"}) {
        EXPECT_FALSE(CanOpenForReading(f)) << f;
        EXPECT_THROW(ReadWholeFile(f), EFOpenError) << f;
        EXPECT_THROW(ReadFileBytes(f, 27), EFOpenError) << f;
        TCityList d;
        EXPECT_THROW(LoadCityListFile(f, d), EFOpenError) << f;
    }
    Put(dir / "long", std::string(100, 'x'));
    EXPECT_TRUE(CanOpenForReading(dir / "long"));
    EXPECT_EQ(27u, ReadFileBytes(dir / "long", 27).size());
    EXPECT_EQ(100u, ReadWholeFile(dir / "long").size());
    Put(dir / "empty", "");
    EXPECT_TRUE(ReadWholeFile(dir / "empty").empty());
}

TEST(StaleTempFiles, OnlyUnfinishedSavesOfThisUserGo) {
    TempDir dir;
    Put(dir / ".tavik-Ab12Cd", "left by a crash");
    Put(dir / ".tavik-Zz99Yy", "a save still writing");
    for (const char* keep : {".tavik-short", ".tavik-Ab12Cd7", "tavik-Ab12Cd", ".tavik-Ab-2Cd",
                             "user.tvk", "user.tvk.bak"})
        Put(dir / keep, "theirs");
    fs::create_directory(dir / ".tavik-Dir123");
    fs::create_symlink(dir / "user.tvk", dir / ".tavik-Lnk123");
    const int writing = ::open((dir / ".tavik-Zz99Yy").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(0, ::flock(writing, LOCK_EX));

    EXPECT_EQ(1, RemoveStaleTempFiles(dir.Path.string() + "/"));
    EXPECT_FALSE(fs::exists(dir / ".tavik-Ab12Cd"));
    EXPECT_EQ(9u, dir.Names().size());
    EXPECT_EQ("theirs", Text(dir / "user.tvk"));
    ::close(writing);
    EXPECT_EQ(1, RemoveStaleTempFiles(dir.Path.string()));
    EXPECT_EQ(0, RemoveStaleTempFiles(dir / "missing"));

    // Another user's leftovers may belong to a save of theirs.
    Put(dir / ".tavik-Other1", "not ours", 0666);
    if (::geteuid() == 0) {
        EXPECT_TRUE(AsPlainUser([&] { return RemoveStaleTempFiles(dir.Path.string()) == 0; }));
        EXPECT_TRUE(fs::exists(dir / ".tavik-Other1"));
    }
}

TEST(InstanceLock, OneClockPerDataFolder) {
    TempDir dir;
    const std::string folder = dir.Path.string() + "/";
    const std::string file = folder + "user.tvk";
    Put(file, "list");
    Put(dir / ".tavik-Crash1", "stale");
    TInstanceLock first;
    TFolderClaim claim = ClaimDataFolder(folder, file, first);
    EXPECT_TRUE(claim.MayRun);
    EXPECT_EQ(1, claim.StaleFilesRemoved);
    EXPECT_EQ(TInstanceLock::TResult::Acquired, first.Acquire(folder + "./"))
        << "held already, however spelled";

    // A second clock ends without touching anything, not even a stale temporary.
    Put(dir / ".tavik-Crash2", "stale");
    const auto before = dir.Names();
    TInstanceLock second;
    claim = ClaimDataFolder(folder, file, second);
    EXPECT_FALSE(claim.MayRun);
    EXPECT_EQ("Tavik is already running with " + file + ".", claim.Message);
    EXPECT_EQ(before, dir.Names());
    EXPECT_EQ("list", Text(file));

    first.Release();
    claim = ClaimDataFolder(folder, file, second);
    EXPECT_TRUE(claim.MayRun);
    EXPECT_EQ(1, claim.StaleFilesRemoved);

    // A city list that links into another clock's folder is that clock's list.
    fs::create_directory(dir / "other");
    fs::create_symlink(file, dir / "other/user.tvk");
    TInstanceLock third;
    claim = ClaimDataFolder(dir / "other", dir / "other/user.tvk", third);
    EXPECT_FALSE(claim.MayRun);
    TInstanceLock fourth;
    EXPECT_EQ(TInstanceLock::TResult::Acquired, fourth.Acquire(dir / "other"))
        << "the refused claim holds nothing";
    EXPECT_EQ(TInstanceLock::TResult::Unavailable, fourth.Acquire(dir / "missing"));
}

TEST(InstanceLock, GoesWithTheProcessAndNotToItsChildren) {
    TempDir dir;
    const std::string folder = dir.Path.string();
    const std::string file = dir / "user.tvk";
    int ready[2];
    ASSERT_EQ(0, ::pipe(ready));
    const pid_t clock = ::fork();
    if (clock == 0) {
        TInstanceLock lock;
        const bool ok = ClaimDataFolder(folder, file, lock).MayRun;
        [[maybe_unused]] const auto n = ::write(ready[1], ok ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(1, ::read(ready[0], &answer, 1));
    EXPECT_EQ('y', answer);
    TInstanceLock lock;
    EXPECT_FALSE(ClaimDataFolder(folder, file, lock).MayRun);
    ::kill(clock, SIGKILL);
    ::waitpid(clock, nullptr, 0);
    EXPECT_TRUE(ClaimDataFolder(folder, file, lock).MayRun) << "a killed clock holds nothing";

    // A program the clock starts (a help viewer, say) must not keep the folder once it ends.
    pid_t helper = 0;
    char sleepCmd[] = "sleep";
    char seconds[] = "30";
    char* argv[] = {sleepCmd, seconds, nullptr};
    ASSERT_EQ(0, ::posix_spawnp(&helper, "sleep", nullptr, nullptr, argv, environ));
    lock.Release();
    // posix_spawn returns once the new program's memory is in place, a moment before the kernel
    // closes the close-on-exec descriptors; a leaked lock would outlast this wait by far.
    TInstanceLock next;
    bool mayRun = false;
    for (int i = 0; i < 200 && !mayRun; ++i) {
        mayRun = ClaimDataFolder(folder, file, next).MayRun;
        if (!mayRun)
            ::usleep(10000);
    }
    EXPECT_TRUE(mayRun);
    ::kill(helper, SIGKILL);
    ::waitpid(helper, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(InstanceLock, OpenAndSaveAsClaimTheFolderOfTheirList) {
    TempDir dir;
    for (const char* f : {"a", "b", "c", "d"})
        fs::create_directory(dir / f);
    const std::string first = dir / "a/user.tvk";
    TInstanceLock a;
    ASSERT_TRUE(ClaimDataFolder(dir / "a/", first, a).MayRun);
    TInstanceLock b;
    ASSERT_TRUE(ClaimDataFolder(dir / "b/", dir / "b/user.tvk", b).MayRun);

    // The other clock's list, straight or through a link, is refused; nothing changes.
    EXPECT_EQ("Tavik is already running with " + first + ".", ClaimCityLists({first}, b));
    fs::create_symlink(first, dir / "c/link.tvk");
    EXPECT_EQ("Tavik is already running with " + (dir / "c/link.tvk") + ".",
              ClaimCityLists({dir / "c/link.tvk"}, b));
    TInstanceLock probe;
    EXPECT_EQ(TInstanceLock::TResult::Acquired, probe.Acquire(dir / "c"))
        << "a refused claim keeps nothing";
    probe.Release();

    // A free folder is held until the clock moves on to another list; its own folder stays.
    EXPECT_EQ("", ClaimCityLists({dir / "c/x.tvk"}, b));
    EXPECT_EQ(TInstanceLock::TResult::HeldElsewhere, probe.Acquire(dir / "c"));
    EXPECT_FALSE(ClaimDataFolder(dir / "c", dir / "c/user.tvk", probe).MayRun)
        << "a clock starting there is refused";
    EXPECT_EQ("Tavik is already running with " + (dir / "c/x.tvk") + ".",
              ClaimCityLists({dir / "c/x.tvk"}, a));
    EXPECT_EQ("", ClaimCityLists({dir / "c/x.tvk", dir / "d/y.tvk"}, b)) << "Save As: both";
    EXPECT_EQ("", ClaimCityLists({dir / "d/y.tvk"}, b));
    EXPECT_EQ(TInstanceLock::TResult::Acquired, probe.Acquire(dir / "c"));
    EXPECT_EQ(TInstanceLock::TResult::HeldElsewhere, probe.Acquire(dir / "d"));
    EXPECT_EQ(TInstanceLock::TResult::HeldElsewhere, probe.Acquire(dir / "b"));
    EXPECT_EQ("", ClaimCityLists({dir / "b/other.tvk"}, b)) << "its own folder";
    EXPECT_EQ("Tavik is already running with " + (dir / "b/user.tvk") + ".",
              ClaimCityLists({dir / "b/user.tvk"}, a));
}
