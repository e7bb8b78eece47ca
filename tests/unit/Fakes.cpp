#include "Fakes.h"

#include "common/FolderText.h"
#include "platform/NamePattern.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace fendralwin::test {

bool FakeFolderList::setPath(const std::string& path) {
    // A drive alone ("D:") opens that drive's root.
    const std::string folder = path.size() == 2 && path[1] == ':' ? path + "\\" : path;
    if (!fs.folders.contains(folder)) {
        return false;
    }
    current = folder;
    raiseEvent(ControlEvent::Change);
    return true;
}

bool FakeFileSystem::holds(const std::string& folder, const std::string& file) const {
    const auto found = folders.find(folder);
    return found != folders.end() && std::ranges::find(found->second, file) != found->second.end();
}

std::vector<std::string> FakeFileSystem::drives() const {
    std::vector<std::string> found;
    for (const auto& [folder, files] : folders) {
        const std::string drive = folder.substr(0, folder.starts_with('/') ? 1 : 2);
        if (std::ranges::find(found, drive) == found.end()) {
            found.push_back(drive);
        }
    }
    return found;
}

void FakeFileList::reread() {
    if (!fs.holds(current, chosen)) {
        chosen.clear();
    }
}

std::string FakePlatform::writeScript(const std::string& appDir, const std::string& text) {
    if (!writeFailure.empty()) {
        throw PlatformError(writeFailure);
    }
    const std::string path = appDir + (dialect == ScriptDialect::Batch ? "fdw.bat" : "fdw.sh");
    files[path] = text;
    return path;
}

void FakePlatform::startScript(const std::string& path, const std::string& workingFolder) {
    if (!startFailure.empty()) {
        throw PlatformError(startFailure);
    }
    starts.push_back({path, workingFolder, files.at(path)});
}

void FakePlatform::deleteScript(const std::string& appDir) noexcept {
    deleted.push_back(appDir);
}

FolderContents FakePlatform::readFolder(const std::string& folder,
                                        const std::string& filePattern) const {
    if (fs == nullptr || !fs->folders.contains(folder)) {
        throw PlatformError(folder + ": No such folder");
    }
    FolderContents contents; // its subfolders left out: the fake lists find their own
    std::ranges::copy_if(
        fs->folders.at(folder), std::back_inserter(contents.files),
        [&](const std::string& file) { return matchesNamePattern(file, filePattern); });
    return contents;
}

void FakePlatform::requireFile(const std::string& path) const {
    const auto folder = parentFolder(path, sep);
    if (missingFiles.contains(path) ||
        (fs != nullptr &&
         !(folder && fs->holds(*folder, path.substr(FolderText(*folder, sep).size()))))) {
        throw PlatformError(path + ": No such file");
    }
}

bool FakePlatform::isSameExistingFile(const std::string& a, const std::string& b) const {
    return sameFiles.contains({a, b}) || sameFiles.contains({b, a});
}

Harness::Harness(FakePlatform platformSetup, FakeFileSystem files, const std::string& startFolder)
    : platform(std::move(platformSetup))
    , fs(std::move(files)) {
    fs.folders.try_emplace(platform.folder);
    platform.fs = &fs;
    wiring = std::make_unique<FormWiring>(*this, boxes, platform,
                                          startFolder.empty() ? platform.folder : startFolder);
}

} // namespace fendralwin::test
