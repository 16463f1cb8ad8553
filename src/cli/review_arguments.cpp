#include "cli/review_arguments.h"

#include "cli/command.h"
#include "records/workspace_paths.h"

#include <QFileInfo>
#include <QHostAddress>

QString ReviewCustomerFolder(const QString& command, const QString& customer) {
    if (customer.isEmpty() || customer.startsWith(QStringLiteral("--"))) {
        BadInput(command, QStringLiteral("needs CUSTOMER"));
        return {};
    }
    if (!IsUsableCustomerName(customer) ||
        !QFileInfo(TaskFilePath(CustomerFolder(customer))).isFile()) {
        BadInput(command, QStringLiteral("no customer task %1").arg(customer));
        return {};
    }
    return CustomerFolder(customer);
}

bool ParseListenAddress(const QString& text, QString& address, int& port) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    QString host = colon < 0 ? text : text.left(colon);
    if (colon >= 0) {
        bool ok = false;
        port = text.mid(colon + 1).toInt(&ok);
        if (!ok || port < 0 || port > 65535)
            return false;
    }
    if (host.isEmpty())
        host = QStringLiteral("0.0.0.0");
    // Listening is only ever where the operator said: an address, not a name.
    if (QHostAddress(host).protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    address = host;
    return true;
}
