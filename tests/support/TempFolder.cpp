#include "TempFolder.h"

#include <sstream>

namespace fendralwin::test {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace fendralwin::test
