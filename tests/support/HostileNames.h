#pragma once

#include <random>
#include <string>
#include <vector>

namespace fendralwin::test {

// Names made of the characters that shells and command interpreters treat specially.
inline std::string hostileName(std::mt19937& random) {
    // clang-format off
    static const std::vector<std::string> pieces{
        " ", "'", "\"", "$", "`", "\\", "%", "!", "&", ";", "*", "\n", "-", "é", "日本",
        "$(touch PWNED)", "`touch PWNED`", "'$HOME'", "a", "Z", "0", "|", "<", ">", "(", ")",
        "{", "}", "#", "~", "?", "[x]", "\t", "''", "\\'", "%OS%", "--x", "$PATH"};
    // clang-format on
    std::uniform_int_distribution<std::size_t> count(1, 8);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::string name;
    for (std::size_t i = count(random); i > 0; --i) {
        name += pieces[pick(random)];
    }
    return name;
}

} // namespace fendralwin::test
