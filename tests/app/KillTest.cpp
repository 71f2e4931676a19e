// Kills runs with SIGKILL at the n-th write or commit, stopped there through
// ptrace so each kill point is the same on every run, and checks that no hidden
// temporary file and no file cut short under its final name is left.

#include "ProgramRun.h"

#include <functional>
#include <set>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/syscall.h>

namespace fs = std::filesystem;

namespace {

// Calls that put file data down, and calls that give a file its final name.
const std::set<long> DataCalls = {SYS_write, SYS_pwrite64, SYS_copy_file_range};
const std::set<long> CommitCalls = {SYS_linkat, SYS_link, SYS_rename, SYS_renameat, SYS_renameat2};

// Where a run is killed: at the entry or the exit of the n-th call (from 1)
// of one group; n = 0 never kills, so the run only counts.
struct TKillPoint {
    const std::set<long>* calls = &DataCalls;
    int occurrence = 0;
    bool atExit = false;
};

struct TTracedRun {
    bool killed = false;
    int exitCode = -1;
    std::map<const std::set<long>*, int> counts;
};

TTracedRun RunTraced(const std::vector<std::string>& command, const std::string& folder,
                     const TKillPoint& point) {
    TTracedRun run;
    std::vector<char*> argv;
    for (const std::string& part : command)
        argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int quiet = open("/dev/null", O_RDWR);
        if (chdir(folder.c_str()) != 0 || dup2(quiet, 0) < 0 || dup2(quiet, 1) < 0 ||
            dup2(quiet, 2) < 0)
            _exit(125);
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1); // LeakSanitizer cannot work traced
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        raise(SIGSTOP);
        execv(argv[0], argv.data());
        _exit(126);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ptrace(PTRACE_SETOPTIONS, child, nullptr,
           PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL | PTRACE_O_TRACEEXEC);
    long lastCall = -1;
    int signalToDeliver = 0;
    while (true) {
        ptrace(PTRACE_SYSCALL, child, nullptr, signalToDeliver);
        signalToDeliver = 0;
        if (waitpid(child, &status, 0) != child || WIFEXITED(status) || WIFSIGNALED(status))
            break;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            if (status >> 16 == 0) // a real signal, not a ptrace event
                signalToDeliver = WSTOPSIG(status);
            continue;
        }
        __ptrace_syscall_info info{};
        ptrace(PTRACE_GET_SYSCALL_INFO, child, sizeof info, &info);
        const bool entry = info.op == PTRACE_SYSCALL_INFO_ENTRY;
        if (entry)
            lastCall = static_cast<long>(info.entry.nr);
        for (const std::set<long>* group : {&DataCalls, &CommitCalls}) {
            if (!group->count(lastCall))
                continue;
            if (entry)
                ++run.counts[group];
            if (group == point.calls && run.counts[group] == point.occurrence &&
                entry != point.atExit) {
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
                run.killed = true;
                return run;
            }
        }
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class KillTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_work.Path() / "in");
        WriteFileBytes(Path("in/movie.dat"), PatternBytes(3 * 1000000 + 12345, 21));
    }

    std::string Path(const std::string& name) const { return m_work / name; }

    // Runs `command` in `folder` whole, then killed at the first, a middle and
    // the end of the last write, the end of the first and the start of the last
    // commit, `watched` laid out afresh by `layOut` each time. What a killed run
    // leaves there must be a file of the whole run (kept in `watched`.whole).
    void KillEverywhere(
        const std::vector<std::string>& command, const std::string& folder,
        const std::string& watched, const std::function<void()>& layOut = [] {}) {
        const std::string reference = watched + ".whole";
        const auto run = [&](const TKillPoint& point) {
            fs::remove_all(watched);
            fs::create_directories(watched);
            layOut();
            // The first piece records the source's times, which a read may move
            // (relatime): every split starts from the same times.
            const timespec times[2] = {{1600000000, 0}, {1600000000, 0}};
            EXPECT_EQ(utimensat(AT_FDCWD, Path("in/movie.dat").c_str(), times, 0), 0);
            return RunTraced(command, folder, point);
        };
        const TTracedRun counted = run(TKillPoint{});
        ASSERT_EQ(counted.exitCode, 0) << "the run itself fails";
        ASSERT_EQ(counted.counts.size(), 2u) << "the run did not both write and commit";
        fs::copy(watched, reference);
        const int writes = counted.counts.at(&DataCalls);
        const int commits = counted.counts.at(&CommitCalls);
        for (const TKillPoint& point : {TKillPoint{&DataCalls, 1, false},
                                        {&DataCalls, (writes + 1) / 2, false},
                                        {&DataCalls, writes, true},
                                        {&CommitCalls, 1, true},
                                        {&CommitCalls, commits, false}}) {
            SCOPED_TRACE("killed at call " + std::to_string(point.occurrence) +
                         (point.calls == &DataCalls ? " of the writes" : " of the commits") +
                         (point.atExit ? ", at its end" : ", at its start"));
            EXPECT_TRUE(run(point).killed);
            for (const fs::directory_entry& entry : fs::directory_iterator(watched)) {
                const std::string name = entry.path().filename().string();
                const fs::path whole = reference + "/" + name;
                ASSERT_TRUE(fs::exists(whole)) << "a stray or hidden file is left: " << name;
                EXPECT_TRUE(ReadFileBytes(entry.path()) == ReadFileBytes(whole))
                    << "a file cut short is left under its final name: " << name;
            }
        }
    }

    TScopedXdgHome m_xdg;
    TTempFolder m_work;
};

} // namespace

// A split, a unite of the set it made, a self-joining split, and the stub of
// that set rebuilding the file.
TEST_F(KillTest, KilledRunsLeaveNoFileOrTheWholeFile) {
    const std::string program = ProgramPath();
    const std::string movie = Path("in/movie.dat");
    KillEverywhere({program, "/split", movie, Path("set"), "1000000"}, Path("in"), Path("set"));
    KillEverywhere({program, "/unite", Path("set.whole/movie.vrn"), Path("united")}, Path("in"),
                   Path("united"));
    KillEverywhere({program, "/split", movie, Path("self"), "1500000", "-self"}, Path("in"),
                   Path("self"));
    // The stub rebuilds beside itself, so the set is copied afresh for every run.
    KillEverywhere({Path("stub/movie.exe")}, Path("stub"), Path("stub"), [&] {
        fs::copy(Path("self.whole"), Path("stub"), fs::copy_options::recursive);
        fs::permissions(Path("stub/movie.exe"), fs::perms::owner_exec, fs::perm_options::add);
    });
}
