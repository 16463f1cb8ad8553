#include "records_test_util.h"

#include <unistd.h>

bool RunningAsRoot() {
    return geteuid() == 0;
}
