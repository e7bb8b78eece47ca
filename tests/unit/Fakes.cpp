#include "Fakes.h"

#include <algorithm>

namespace fendralwin::test {

bool FakeFolderList::setPath(const std::string& path) {
    // A drive alone ("D:") opens that drive's root.
    const std::string folder = path.size() == 2 && path[1] == ':' ? path + "\\" : path;
    if (fs.unopenable.contains(folder)) {
        return false;
    }
    current = folder;
    onChange();
    return true;
}

std::string FakeFileList::selectedItem() const {
    const auto found = fs.folders.find(current);
    if (selected < 0 || found == fs.folders.end()) {
        return {};
    }
    return found->second.at(static_cast<std::size_t>(selected));
}

void FakeFileList::click(const std::string& name) {
    const auto& files = fs.folders.at(current);
    selected = static_cast<int>(std::ranges::find(files, name) - files.begin());
    onClick();
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
    const auto script = files.find(path);
    if (script == files.end()) {
        throw PlatformError("File not found");
    }
    starts.push_back({path, workingFolder, script->second});
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

Harness::Harness(FakePlatform platformSetup)
    : platform(std::move(platformSetup))
    , dirIn(fs, platform.folder)
    , filIn(fs)
    , dirOut(fs, platform.folder)
    , txtOutputFile(log, "txtOutputFile", "")
    , txtRadius(log, "txtRadius", "1")
    , txtMaxDiff(log, "txtMaxDiff", "10")
    , cmdRunFendral(log)
    , lblInputFile(log, "lblInputFile", "Input File:")
    , lblOutputFile(log, "lblOutputFile", "Output File:") {
    fs.folders[platform.folder] = {};
    filIn.current = platform.folder;
    drvIn.current = drvOut.current = platform.folder.substr(0, 2);
    const FormControls controls{window,     drvIn,         dirIn,        filIn,        drvOut,
                                dirOut,     txtOutputFile, hscrlRadius,  hscrlMaxDiff, txtRadius,
                                txtMaxDiff, cmdRunFendral, lblInputFile, lblOutputFile};
    form = std::make_unique<frmFendralWrapper>(controls, boxes, platform);
    form->Form_Load();
    dirIn.onChange = [this] {
        form->dirIn_Change();
    };
    filIn.onClick = [this] {
        form->filIn_Click();
    };
    dirOut.onChange = [this] {
        form->dirOut_Change();
    };
    txtOutputFile.onChange = [this] {
        form->txtOutputFile_Change();
    };
    txtRadius.onChange = [this] {
        form->txtRadius_Change();
    };
    txtMaxDiff.onChange = [this] {
        form->txtMaxDiff_Change();
    };
}

Harness::~Harness() = default;

void Harness::openIn(const std::string& path) {
    dirIn.setPath(path);
}

void Harness::openOut(const std::string& path) {
    dirOut.setPath(path);
}

void Harness::chooseInDrive(const std::string& drive) {
    drvIn.current = drive;
    form->drvIn_Change();
}

void Harness::chooseOutDrive(const std::string& drive) {
    drvOut.current = drive;
    form->drvOut_Change();
}

} // namespace fendralwin::test
