#pragma once

#include <QString>
#include <QStringList>

// Which stations have a customer open. A station working on a customer keeps
// a small file in the customer's folder naming it (host, user, process,
// time), refreshes it while it works and removes it when it moves on, so a
// station opening the same customer can say who else is on it.
class CustomerPresence {
public:
    // Refresh at least this often: a file from another host not refreshed
    // for FileLock::kStaleSeconds counts as left behind.
    static constexpr int kRefreshMs = 60000;

    ~CustomerPresence();
    // This station opens the customer of folder (leaving any other first)
    // and returns the other stations that have it open ("host (user)").
    QStringList Enter(const QString& customerFolder);
    void Refresh();
    void Leave();
    // The stations other than this one that have the customer open.
    static QStringList OthersIn(const QString& customerFolder);

private:
    QString file_;
};
