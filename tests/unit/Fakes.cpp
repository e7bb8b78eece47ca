#include "Fakes.h"

#include "app/view/FolderRows.h"

#include <algorithm>
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

void FakeFolderList::refresh(char separator) {
    for (std::string above = current;
         !fs.folders.contains(current) && above.size() > rootLength(above, separator);) {
        above.resize(std::max(above.find_last_of(separator), rootLength(above, separator)));
        setPath(above);
    }
}

void FakeFileList::refresh() {
    if (!chosen.empty() && !fs.holds(current, chosen)) {
        chosen.clear();
        raiseEvent(ControlEvent::Click);
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

void FakePlatform::requireFile(const std::string& path) const {
    if (missingFiles.contains(path)) {
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
    wiring = std::make_unique<FormWiring>(*this, boxes, platform,
                                          startFolder.empty() ? platform.folder : startFolder);
}

IControl& Harness::control(std::string_view name) {
    const std::map<std::string_view, IControl*> controls{
        {"drvIn", &drvIn},
        {"dirIn", &dirIn},
        {"filIn", &filIn},
        {"drvOut", &drvOut},
        {"dirOut", &dirOut},
        {"txtOutputFile", &txtOutputFile},
        {"hscrlRadius", &hscrlRadius},
        {"hscrlMaxDiff", &hscrlMaxDiff},
        {"txtRadius", &txtRadius},
        {"txtMaxDiff", &txtMaxDiff},
        {"cmdRunFendral", &cmdRunFendral},
        {"cmdExit", &cmdExit},
        {"lblInputFile", &lblInputFile},
        {"lblOutputFile", &lblOutputFile},
    };
    const auto found = controls.find(name);
    if (found == controls.end()) {
        throw std::out_of_range("no control named " + std::string(name));
    }
    return *found->second;
}

} // namespace fendralwin::test
