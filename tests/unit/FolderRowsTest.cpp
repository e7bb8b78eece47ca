#include "app/view/FolderRows.h"

#include <gtest/gtest.h>

namespace fendralwin {
namespace {

// Each case: the folder, its subfolders, and the rows as "depth name path", the open one marked.
TEST(FolderRows, AreTheRootThePathDownToTheFolderThenItsSubfolders) {
    struct Case {
        const char* folder;
        char separator;
        std::vector<std::string> subfolders;
        std::vector<std::string> rows;
    };
    // clang-format off
    const Case cases[]{
        {"/", '/', {"bin", "home"}, {"0 / / *", "1 bin /bin", "1 home /home"}},
        {"/home/u", '/', {"a b"}, {"0 / /", "1 home /home", "2 u /home/u *", "3 a b /home/u/a b"}},
        {"C:\\", '\\', {"Images"}, {"0 c:\\ C:\\ *", "1 Images C:\\Images"}},
        {"Z:\\Out\\x", '\\', {}, {"0 z:\\ Z:\\", "1 Out Z:\\Out", "2 x Z:\\Out\\x *"}},
        {"\\\\server\\share\\dir", '\\', {"s"},
         {"0 \\\\server\\share \\\\server\\share", "1 dir \\\\server\\share\\dir *", "2 s \\\\server\\share\\dir\\s"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const FolderRows made = folderRows(c.folder, c.subfolders, c.separator);
        std::vector<std::string> rows;
        for (std::size_t i = 0; i < made.rows.size(); ++i) {
            const FolderRow& row = made.rows[i];
            rows.push_back(std::to_string(row.depth) + " " + row.name + " " + row.path +
                           (i == made.openRow ? " *" : ""));
        }
        EXPECT_EQ(rows, c.rows) << c.folder;
    }
}

} // namespace
} // namespace fendralwin
