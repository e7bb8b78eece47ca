#include "TempFolder.h"

#include <random>
#include <sstream>
#include <stdexcept>

namespace fendralwin::test {

TempFolder::TempFolder() {
    // create_directory reports whether it made the folder, so a name taken meanwhile is skipped.
    std::random_device seed;
    std::mt19937_64 random(seed());
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate = base / ("fendralwin-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            std::filesystem::permissions(candidate, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace);
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("no fresh temporary folder under " + base.string());
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace fendralwin::test
