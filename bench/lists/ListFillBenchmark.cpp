// How long the lists take to show a big folder, next to a bare directory read of the same
// folder: a folder of 100,000 files (half of them .tif) and one of 10,000 subfolders.
#include "app/view/qt/FileListView.h"
#include "app/view/qt/FolderListView.h"
#include "platform/NativePlatform.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct BigFolders {
    BigFolders() {
        root = fs::temp_directory_path() / ("fendralwin-bench-" + std::to_string(getpid()));
        fs::create_directories(root / "files");
        for (int i = 0; i < 100'000; ++i) {
            const char* extension = i % 2 ? ".tif" : ".txt";
            std::ofstream(root / "files" / ("image" + std::to_string(i) + extension));
        }
        for (int i = 0; i < 10'000; ++i) {
            fs::create_directories(root / "folders" / ("Folder" + std::to_string(i)));
        }
    }
    ~BigFolders() { fs::remove_all(root); }
    QString path(const char* name) const { return QString::fromStdString((root / name).string()); }
    fs::path root;
};

const BigFolders& folders() {
    static const BigFolders big;
    return big;
}

std::size_t bareReaddir(const std::string& path) {
    std::size_t entries = 0;
    DIR* dir = opendir(path.c_str());
    while (readdir(dir) != nullptr) {
        ++entries;
    }
    closedir(dir);
    return entries;
}

void BM_BareReaddir(benchmark::State& state, const char* name) {
    const std::string path = folders().path(name).toStdString();
    for (auto _ : state) {
        benchmark::DoNotOptimize(bareReaddir(path));
    }
}

void BM_FileListFill(benchmark::State& state) {
    const fendralwin::NativePlatform platform;
    fendralwin::FileListView list("*.tif", platform, nullptr);
    const std::string path = folders().path("files").toStdString();
    for (auto _ : state) {
        list.setPath(path);
    }
    state.counters["items"] = list.model()->rowCount();
}

void BM_FolderListFill(benchmark::State& state) {
    const fendralwin::NativePlatform platform;
    fendralwin::FolderListView list(platform, nullptr);
    const std::string path = folders().path("folders").toStdString();
    for (auto _ : state) {
        list.setPath(path);
    }
    state.counters["items"] = list.model()->rowCount();
}

BENCHMARK_CAPTURE(BM_BareReaddir, files, "files")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileListFill)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareReaddir, folders, "folders")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FolderListFill)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
