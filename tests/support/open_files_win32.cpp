#include "table_fixture.h"

#include <windows.h>

namespace pelmora::testing {

// Every open file is a handle; so are a few other kernel objects, whose number a conversion
// does not change.
int OpenFileCount() {
    DWORD count = 0;
    if (!GetProcessHandleCount(GetCurrentProcess(), &count)) {
        return -1;
    }
    return static_cast<int>(count);
}

} // namespace pelmora::testing
