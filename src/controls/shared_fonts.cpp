#include "controls/shared_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {
QFont g_large;
QFont g_small;
bool g_ready = false;

QString ChooseFamily() {
    const QStringList installed = QFontDatabase::families();
    for (const QString& wanted :
         {QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
          QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")}) {
        if (installed.contains(wanted, Qt::CaseInsensitive))
            return wanted;
    }
    return QFont().family();
}
} // namespace

void InitSharedFonts() {
    const QString family = ChooseFamily();
    g_large = QFont(family, 11);
    g_small = QFont(family, 9);
    g_ready = true;
}

const QFont& SharedLargeFont() {
    if (!g_ready)
        InitSharedFonts();
    return g_large;
}

const QFont& SharedSmallFont() {
    if (!g_ready)
        InitSharedFonts();
    return g_small;
}

QString SharedFontFamily() {
    return SharedSmallFont().family();
}
