#pragma once

#include <QString>
#include <functional>

class CustomerTask;

// Several stations may work on one customer at once. Every change to the
// customer's files (1.tx, 产品.ini, status.txt) is made under the customer's
// lock, on the files' current content.

// The lock file in the customer's folder.
QString CustomerLockPath(const QString& customerFolder);

// Runs work while holding the customer's lock. False, with nothing run, when
// the lock could not be had (within FileLock::kWaitMs); else work's answer.
bool WithCustomerLock(const QString& customerFolder, const std::function<bool()>& work);

// Reads task afresh from its file (when there is one) under the lock, lets
// change apply the caller's own edit to it and saves it. task then holds the
// file as written: the pages other stations added stay. False when the lock
// could not be had, the file could not be read, change refused (returned
// false) or the save failed; the file is then as it was.
bool UpdateCustomerTask(CustomerTask& task, const std::function<bool(CustomerTask&)>& change);
