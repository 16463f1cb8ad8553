#include "records/installation_id.h"

#include "common/profile.h"

#include <cstdlib>
#include <ctime>

namespace {
const QString kSection = QStringLiteral("Version 1.0");
const QString kName = QStringLiteral("id");
} // namespace

QString MakeInstallationId(const std::function<int()>& random) {
    QString id;
    while (id.size() <= 9) {
        // A negative number would contribute its "-"; only digits belong here.
        const QString number = QString::number(std::abs(random() % 32768));
        id += number.at(0);
    }
    return id;
}

QString InstallationId() {
    QString id = Profile::GetString(kSection, kName);
    if (!id.isEmpty())
        return id;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    id = MakeInstallationId([] { return std::rand() % 32768; });
    Profile::SetString(kSection, kName, id);
    return id;
}
