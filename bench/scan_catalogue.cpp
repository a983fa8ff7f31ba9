// The catalogue scan against `find ROOT -type f` on the same generated tree.
//
//   scan_catalogue [ROUNDS]
//
// Generates 100,000 files in 10,000 folders (three in five playable: .mp3, .wav, .MP3 among
// .jpg and .txt), then scans the root at the top level through the Linux program's own
// window, list model and status bar (Qt, offscreen unless a platform is set; the list in a
// Japanese locale's order), alternating with `find` ROUNDS times (7 by default), per file and
// per folder. Prints every round, the median ratios and the resident memory. The tree is
// removed at the end.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "linux/qt_program.h"
#include "linux/system/instance_lock.h"
#include "playback/transport.h"
#include "player/control_table.h"
#include "player/player.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kArtists = 100;
constexpr int kAlbumsPerArtist = 100;
constexpr int kFilesPerAlbum = 10;
constexpr const char* kExtensions[] = {".mp3", ".wav", ".MP3", ".jpg", ".txt"};
constexpr int kPerFolder = 0;
constexpr int kPerFile = 1;

// root/artist NNN/album NN/track NN.ext, empty files.
void GenerateTree(const fs::path& root) {
    char name[64];
    for (int artist = 0; artist < kArtists; ++artist) {
        std::snprintf(name, sizeof name, "artist %03d", artist);
        const fs::path artistFolder = root / name;
        for (int album = 0; album < kAlbumsPerArtist; ++album) {
            std::snprintf(name, sizeof name, "album %02d", album);
            const fs::path albumFolder = artistFolder / name;
            fs::create_directories(albumFolder);
            for (int track = 0; track < kFilesPerAlbum; ++track) {
                std::snprintf(name, sizeof name, "track %02d%s", track,
                              kExtensions[track % std::size(kExtensions)]);
                const int fd = open((albumFolder / name).c_str(), O_WRONLY | O_CREAT, 0644);
                if (fd >= 0) {
                    close(fd);
                }
            }
        }
    }
}

double Seconds(Clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

// Runs `find ROOT -type f` with its output thrown away; the time includes starting it.
double TimeFind(const fs::path& root) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string rootText = root.string();
    char find[] = "find";
    char type[] = "-type";
    char file[] = "f";
    char* argv[] = {find, rootText.data(), type, file, nullptr};
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    int status = 0;
    if (posix_spawnp(&child, "find", &actions, nullptr, argv, environ) == 0) {
        waitpid(child, &status, 0);
    }
    const double elapsed = Seconds(Clock::now() - start);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "find failed\n");
        std::exit(1);
    }
    return elapsed;
}

// As confirming a folder does: empty the list, scan at the top level; then let the window
// catch up (the list view is published from the event loop).
double TimeScan(tav::Player& player, const fs::path& root, int unit) {
    player.window().SetComboSelection(unit);
    const Clock::time_point start = Clock::now();
    tav::ListRootFolder(player, root.string());
    QCoreApplication::processEvents();
    return Seconds(Clock::now() - start);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double ResidentMb() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

double PeakResidentMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct Results {
    std::vector<double> perFileRatios;
    std::vector<double> perFolderRatios;
};

Results RunRounds(tav::Player& player, const fs::path& root, int rounds) {
    TimeFind(root);  // warm the caches for both
    TimeScan(player, root, kPerFile);
    Results results;
    std::printf("%5s %9s %11s %6s %9s %13s %6s\n", "round", "find ms", "per-file ms", "ratio",
                "find ms", "per-folder ms", "ratio");
    for (int round = 1; round <= rounds; ++round) {
        const double findBeforeFiles = TimeFind(root);
        const double perFile = TimeScan(player, root, kPerFile);
        const double findBeforeFolders = TimeFind(root);
        const double perFolder = TimeScan(player, root, kPerFolder);
        results.perFileRatios.push_back(perFile / findBeforeFiles);
        results.perFolderRatios.push_back(perFolder / findBeforeFolders);
        std::printf("%5d %9.1f %11.1f %6.2f %9.1f %13.1f %6.2f\n", round, findBeforeFiles * 1e3,
                    perFile * 1e3, results.perFileRatios.back(), findBeforeFolders * 1e3,
                    perFolder * 1e3, results.perFolderRatios.back());
    }
    return results;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static char name[] = "scan_catalogue";
    int qtArgc = 1;
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    // The list in a Japanese desktop's order: the locale's collation, its costliest order.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

    const fs::path root =
        fs::temp_directory_path() / ("tavrello-scan-bench-" + std::to_string(getpid()));
    const Clock::time_point generating = Clock::now();
    GenerateTree(root);
    std::printf("tree: %d files in %d folders under %s, generated in %.1f s\n",
                kArtists * kAlbumsPerArtist * kFilesPerAlbum, kArtists * (kAlbumsPerArtist + 1),
                root.c_str(), Seconds(Clock::now() - generating));

    // The Linux program itself, built as its main() builds it.
    tav::LinuxProgram program;
    tav::InstanceLock lock(tav::InstanceLockPath());
    program.Open(lock);
    tav::Player& player = program.player;
    tav::QtTrackList& trackList = program.trackList;
    QCoreApplication::processEvents();

    const Results results = RunRounds(player, root, rounds);
    const double perFolderEntries = trackList.Count();
    TimeScan(player, root, kPerFile);  // hold the larger list while measuring
    std::printf("median ratio per file:   %.2f (goal <= 1.2), %d entries\n",
                Median(results.perFileRatios), trackList.Count());
    std::printf("median ratio per folder: %.2f (goal <= 1.5), %.0f entries\n",
                Median(results.perFolderRatios), perFolderEntries);
    std::printf("resident holding %d entries: %.1f MB (goal < 50 MB); peak resident: %.1f MB\n",
                trackList.Count(), ResidentMb(), PeakResidentMb());
    std::printf("status bar part 3: \"%s\"\n", program.window.StatusText(3).c_str());

    std::error_code ignored;
    fs::remove_all(root, ignored);
    return 0;
}
