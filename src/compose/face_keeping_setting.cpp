#include "compose/face_keeping_setting.h"

#include "common/profile.h"

namespace {
const QString kSection = QStringLiteral("Version 1.0");
const QString kName = QStringLiteral("keep_faces");
} // namespace

bool KeepFacesSetting() {
    return Profile::GetString(kSection, kName).trimmed() != QLatin1String("0");
}

void SetKeepFacesSetting(bool keep) {
    Profile::SetString(kSection, kName, keep ? QStringLiteral("1") : QStringLiteral("0"));
}
