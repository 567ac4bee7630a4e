#include "bench/program_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Reads every picture written to the fifo, noting when the program opened it; stops when told
// and the fifo is opened once more (by the bench itself when the program has ended).
class MarkReader
{
  public:
    MarkReader(const std::string& fifo, Clock::time_point start) : fifo_(fifo), start_(start)
    {
        thread_ = std::thread([this] { Read(); });
    }
    std::vector<double> Finish()
    {
        stop_ = true;
        // Opening for writing without waiting fails while no reader waits in open(); the reader
        // is then reading a picture or on its way back to open(), so try again.
        while (!done_) {
            int fd = open(fifo_.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        thread_.join();
        return marks_;
    }

  private:
    void Read()
    {
        char buffer[65536];
        while (true) {
            int fd = open(fifo_.c_str(), O_RDONLY);
            if (fd < 0 && errno == EINTR)
                continue;
            if (fd < 0)
                break;
            size_t total = 0;
            ssize_t got = 0;
            while ((got = read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
                if (got > 0) {
                    Take(std::string_view(buffer, static_cast<size_t>(got)), SecondsSince(start_));
                    total += static_cast<size_t>(got);
                }
            }
            close(fd);
            // The bench's own opening writes nothing; a picture always has bytes.
            if (total == 0 && stop_)
                break;
        }
        done_ = true;
    }

    // A mark opening the fifo while the reader still holds it from the mark before joins the
    // same stream, so pictures are told apart by their ends (the PNG end chunk), not by the
    // fifo's openings; each one is timed when its first bytes arrive.
    void Take(std::string_view bytes, double now)
    {
        static const std::string pictureEnd = "IEND\xAE\x42\x60\x82";
        while (!bytes.empty()) {
            if (!inPicture_) {
                marks_.push_back(now);
                inPicture_ = true;
                tail_.clear();
            }
            std::string window = tail_ + std::string(bytes);
            size_t end = window.find(pictureEnd);
            if (end == std::string::npos) {
                tail_ =
                    window.substr(window.size() - std::min(window.size(), pictureEnd.size() - 1));
                return;
            }
            // The end never lies wholly in the tail kept, which is shorter than it.
            bytes.remove_prefix(end + pictureEnd.size() - tail_.size());
            inPicture_ = false;
            tail_.clear();
        }
    }

    std::string fifo_;
    Clock::time_point start_;
    std::vector<double> marks_;
    bool inPicture_ = false;
    std::string tail_; // the last bytes read, where a picture's end may begin
    std::atomic<bool> stop_{false}, done_{false};
    std::thread thread_;
};
} // namespace

MarkFifo::MarkFifo()
{
    char pattern[] = "/tmp/zentally-bench-run-XXXXXX";
    folder_ = mkdtemp(pattern);
    fifo_ = folder_ + "/marks";
    mkfifo(fifo_.c_str(), 0600);
}

MarkFifo::~MarkFifo()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string MarkFifo::Mark() const
{
    return "screenshot \"" + fifo_ + "\"\n";
}

ProgramRun RunProgram(const std::string& device, const std::string& script, const MarkFifo& fifo)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string scriptFile = fifo.Path() + ".script";
    std::ofstream(scriptFile) << script;
    std::string program = ZENTALLY_PROGRAM;
    std::string deviceFlag = "--device", scriptFlag = "--script";
    char* argv[] = {program.data(),    deviceFlag.data(), const_cast<char*>(device.c_str()),
                    scriptFlag.data(), scriptFile.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The events go to a file, so that a failed run can tell what went wrong; the platform's
    // notes on standard error are not the program's to give.
    std::string events = fifo.Path() + ".events";
    posix_spawn_file_actions_addopen(&actions, 1, events.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ProgramRun run;
    Clock::time_point start = Clock::now();
    MarkReader reader(fifo.Path(), start);
    pid_t pid = 0;
    int status = -1;
    rusage usage = {};
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) == 0)
        wait4(pid, &status, 0, &usage);
    run.totalSeconds = SecondsSince(start);
    posix_spawn_file_actions_destroy(&actions);
    run.marks = reader.Finish();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKibibytes = usage.ru_maxrss;
    std::ifstream in(events);
    for (std::string line; std::getline(in, line);)
        run.lastEvent = line;
    return run;
}
