#include "Recorders.h"

namespace fendralwin::test {

std::string RecordingPlatform::writeScript(const std::string& appDir, const std::string& text) {
    const std::string path = system_.writeScript(appDir, text);
    written_[path] = text;
    return path;
}

void RecordingPlatform::startScript(const std::string& path, const std::string& /*folder*/) {
    const auto script = written_.find(path);
    startedScripts.push_back(script == written_.end() ? "(not written)" : script->second);
}

} // namespace fendralwin::test
