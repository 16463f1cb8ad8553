#include "production/lab_profile.h"

#include "common/atomic_file.h"
#include "records/dpi_setting.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringList>

#include <cmath>
#include <functional>

namespace {

constexpr qint64 kMaxProfileBytes = 64 * 1024;

// Walks a file name pattern: literal text goes to text, each placeholder to
// placeholder (name and zero-padded width, 0 for none). False with a reason
// for an unknown placeholder or an unpaired brace.
bool WalkPattern(const QString& pattern, const std::function<void(const QString&)>& text,
                 const std::function<void(const QString&, int)>& placeholder, QString& error) {
    qsizetype i = 0;
    while (i < pattern.size()) {
        const qsizetype open = pattern.indexOf('{', i);
        const qsizetype stray = pattern.indexOf('}', i);
        if (stray >= 0 && (open < 0 || stray < open)) {
            error = QStringLiteral("\"file_name\": a \"}\" without its \"{\"");
            return false;
        }
        if (open < 0) {
            text(pattern.mid(i));
            break;
        }
        text(pattern.mid(i, open - i));
        const qsizetype close = pattern.indexOf('}', open);
        if (close < 0) {
            error = QStringLiteral("\"file_name\": a \"{\" without its \"}\"");
            return false;
        }
        const QString inside = pattern.mid(open + 1, close - open - 1);
        const QStringList parts = inside.split(':');
        int width = 0;
        bool known = parts[0] == "customer" || parts[0] == "product" || parts[0] == "page";
        if (known && parts.size() == 2) {
            // Only the page number has a width: "03" or "3", 1 to 9 digits.
            bool number = false;
            width = parts[1].toInt(&number);
            known = parts[0] == "page" && number && parts[1].size() <= 2 && width >= 1 &&
                    width <= 9 && !parts[1].startsWith('+');
        } else if (parts.size() > 2) {
            known = false;
        }
        if (!known) {
            error = QStringLiteral("\"file_name\": unknown placeholder {%1} (use {customer}, "
                                   "{product}, {page} or {page:03})")
                        .arg(inside);
            return false;
        }
        placeholder(parts[0], width);
        i = close + 1;
    }
    return true;
}

bool CheckPattern(const QString& pattern, QString& error) {
    bool hasPage = false;
    QString sample;
    const bool walked = WalkPattern(
        pattern, [&](const QString& text) { sample += text; },
        [&](const QString& name, int) {
            hasPage = hasPage || name == "page";
            sample += QStringLiteral("x");
        },
        error);
    if (!walked)
        return false;
    if (!hasPage) {
        error = QStringLiteral("\"file_name\" must hold {page}: without it pages overwrite each "
                               "other");
        return false;
    }
    if (!pattern.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive)) {
        error = QStringLiteral("\"file_name\" must end in \".jpg\"");
        return false;
    }
    // Every folder and the file name must be a plain name: no absolute
    // path, no "..", nothing a lab's disk refuses.
    for (const QString& part : sample.split('/')) {
        if (!IsUsableCustomerName(part)) {
            error = QStringLiteral("\"file_name\": \"%1\" is not a usable file or folder name "
                                   "(empty, \".\", \"..\", \"\\\" or one of <>:\"|?*)")
                        .arg(part);
            return false;
        }
    }
    return true;
}

bool WholeNumber(const QJsonValue& v, int low, int high, int& out) {
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (d != std::floor(d) || d < low || d > high)
        return false;
    out = static_cast<int>(d);
    return true;
}

bool OneOf(const QJsonValue& v, const QString& first, const QString& second, bool& isSecond) {
    if (v.toString() != first && v.toString() != second)
        return false;
    isSecond = v.toString() == second;
    return true;
}

} // namespace

QString LabProfilePath(const QString& name) {
    return SettingsFolder() + "/labs/" + name + ".json";
}

bool ParseLabProfile(const QByteArray& json, LabProfile& lab, QString& error) {
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        error = parse.error != QJsonParseError::NoError ? QStringLiteral("not JSON: %1 at byte %2")
                                                              .arg(parse.errorString())
                                                              .arg(parse.offset)
                                                        : QStringLiteral("not a JSON object");
        return false;
    }
    LabProfile read;
    read.dpi = CurrentDpi();
    const QJsonObject object = doc.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString& key = it.key();
        const QJsonValue v = it.value();
        bool ok = false;
        QString wanted;
        if (key == "dpi") {
            ok = WholeNumber(v, 200, 300, read.dpi) &&
                 (read.dpi == 200 || read.dpi == 254 || read.dpi == 300);
            wanted = QStringLiteral("200, 254 or 300, the resolutions pages are composed at");
        } else if (key == "colour_space") {
            ok = OneOf(v, "sRGB", "AdobeRGB", read.adobeRgb);
            wanted = QStringLiteral("\"sRGB\" or \"AdobeRGB\"");
        } else if (key == "jpeg_quality") {
            ok = WholeNumber(v, 1, 100, read.jpegQuality);
            wanted = QStringLiteral("a whole number from 1 to 100");
        } else if (key == "chroma") {
            ok = OneOf(v, "4:4:4", "4:2:0", read.halfChroma);
            wanted = QStringLiteral("\"4:4:4\" or \"4:2:0\"");
        } else if (key == "bleed_mm") {
            ok = v.isDouble() && v.toDouble() >= 0 && v.toDouble() <= 20;
            read.bleedMm = v.toDouble();
            wanted = QStringLiteral("a number of millimetres from 0 to 20");
        } else if (key == "file_name") {
            if (!v.isString()) {
                error = QStringLiteral("\"file_name\" must be a text such as "
                                       "\"{product}/{page:02}.jpg\"");
                return false;
            }
            read.fileName = v.toString();
            if (!CheckPattern(read.fileName, error))
                return false;
            ok = true;
        } else if (key == "min_ppi") {
            ok = WholeNumber(v, 1, 1200, read.minPpi);
            wanted = QStringLiteral("a whole number from 1 to 1200");
        } else {
            error = QStringLiteral("unknown key \"%1\" (known: dpi, colour_space, jpeg_quality, "
                                   "chroma, bleed_mm, file_name, min_ppi)")
                        .arg(key);
            return false;
        }
        if (!ok) {
            error = QStringLiteral("\"%1\" must be %2").arg(key, wanted);
            return false;
        }
    }
    lab = read;
    return true;
}

QStringList LabProfileNames() {
    QStringList names;
    const QFileInfoList files =
        QDir(SettingsFolder() + "/labs")
            .entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files)
        if (IsUsableCustomerName(file.completeBaseName()))
            names.append(file.completeBaseName());
    return names;
}

bool ReadLabProfile(const QString& name, LabProfile& lab, QString& error) {
    if (!IsUsableCustomerName(name)) {
        error = QStringLiteral("\"%1\" cannot name a lab profile file").arg(name);
        return false;
    }
    const QString path = LabProfilePath(name);
    QByteArray json;
    if (!ReadWholeFile(path, json, kMaxProfileBytes)) {
        error = QStringLiteral("no lab profile %1").arg(path);
        return false;
    }
    if (!ParseLabProfile(json, lab, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

QString LabFileName(const QString& pattern, const QString& customer, const QString& product,
                    int page) {
    QString name;
    QString ignored;
    WalkPattern(
        pattern, [&](const QString& text) { name += text; },
        [&](const QString& placeholder, int width) {
            if (placeholder == "customer")
                name += customer;
            else if (placeholder == "product")
                name += product;
            else
                name += QStringLiteral("%1").arg(page, width, 10, QLatin1Char('0'));
        },
        ignored);
    return name;
}

int BleedPixels(const LabProfile& lab) {
    return static_cast<int>(std::lround(lab.bleedMm * lab.dpi / 25.4));
}
