#include "table_fixture.h"

#include <filesystem>

namespace pelmora::testing {

int OpenFileCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

} // namespace pelmora::testing
