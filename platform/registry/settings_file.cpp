// The settings file, read and written through QSettings in its own text format: QSettings writes
// through a temporary file that replaces the old one, under a lock file that keeps other writers
// out.
#include "platform/registry/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <set>

namespace platform_registry {
namespace {

const QByteArray kTextType = QByteArrayLiteral("sz:");

bool IsPlain(char16_t unit, bool inName) {
    if (unit < 0x20 || unit > 0x7E || unit == u'\\') return false;
    return !inName || (unit != u'=' && unit != u';' && unit != u'#');
}

void AppendEscaped(QByteArray& text, char16_t unit, bool inName) {
    static const char kHex[] = "0123456789ABCDEF";
    if (IsPlain(unit, inName)) {
        text += static_cast<char>(unit);
    } else if (unit == u'\\') {
        text += "\\\\";
    } else {
        const char escaped[] = {'\\',
                                'u',
                                kHex[(unit >> 12) & 0xF],
                                kHex[(unit >> 8) & 0xF],
                                kHex[(unit >> 4) & 0xF],
                                kHex[unit & 0xF]};
        text.append(escaped, sizeof escaped);
    }
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return -1;
}

// The units the escaped text stands for; false when it is not well formed.
bool Unescape(QByteArrayView text, QString* units) {
    units->clear();
    units->reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch != '\\') {
            if (ch < 0x20 || ch > 0x7E) return false;
            units->append(QChar(static_cast<char16_t>(ch)));
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            units->append(QChar(u'\\'));
            i += 1;
        } else if (i + 5 < text.size() && text[i + 1] == 'u') {
            char16_t unit = 0;
            for (qsizetype digit = i + 2; digit < i + 6; ++digit) {
                const int value = HexDigit(text[digit]);
                if (value < 0) return false;
                unit = static_cast<char16_t>((unit << 4) | value);
            }
            units->append(QChar(unit));
            i += 5;
        } else {
            return false;
        }
    }
    return true;
}

QByteArray EscapeName(const QString& name) {
    QByteArray text;
    for (const QChar unit : name) AppendEscaped(text, unit.unicode(), true);
    return text;
}

// The escaped form of REG_SZ data: its bytes taken as little-endian UTF-16 units.
QByteArray EscapeText(const QByteArray& bytes) {
    QByteArray text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = static_cast<unsigned char>(bytes[i + 1]);
        AppendEscaped(text, static_cast<char16_t>(low | (high << 8)), false);
    }
    return text;
}

// The value of one line: the little-endian UTF-16 bytes of a well-formed REG_SZ, otherwise the
// line's own text, which reads as no REG_SZ and is written back unchanged.
QVariant ParseValue(QByteArrayView text) {
    QString units;
    if (!text.startsWith(kTextType) || !Unescape(text.sliced(kTextType.size()), &units)) {
        return QString::fromLatin1(text);
    }
    QByteArray bytes;
    bytes.reserve(units.size() * 2);
    for (const QChar unit : units) {
        bytes += static_cast<char>(unit.unicode() & 0xFF);
        bytes += static_cast<char>(unit.unicode() >> 8);
    }
    return bytes;
}

bool ReadSettings(QIODevice& device, QSettings::SettingsMap& map) {
    const QByteArray data = device.readAll();
    QByteArrayView rest(data);
    if (rest.startsWith("\xEF\xBB\xBF")) rest = rest.sliced(3);
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.endsWith('\r')) line.chop(1);
        const qsizetype equals = line.indexOf('=');
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#') || equals <= 0) continue;
        QString name;
        if (!Unescape(line.first(equals), &name)) continue;
        map.insert(name, ParseValue(line.sliced(equals + 1)));
    }
    // Lines that say nothing readable are passed over: a damaged file is still a settings file.
    return true;
}

bool WriteSettings(QIODevice& device, const QSettings::SettingsMap& map) {
    QByteArray data =
        "; Settings: name=sz:text, where \\\\ is a backslash and \\uXXXX any other UTF-16 "
        "unit.\n";
    for (auto value = map.cbegin(); value != map.cend(); ++value) {
        data += EscapeName(value.key()) + '=';
        if (value->typeId() == QMetaType::QByteArray) {
            data += kTextType + EscapeText(value->toByteArray());
        } else {
            data += value->toString().toLatin1();
        }
        data += '\n';
    }
    if (device.write(data) != data.size()) return false;
    // Flush here: a file device that fails only while closing (a full disk, a file size limit)
    // would otherwise let the half-written file replace the old one.
    auto* file = qobject_cast<QFileDevice*>(&device);
    return file == nullptr || file->flush();
}

// The registered format; value names in it are exact, letter case included.
QSettings::Format SettingsFormat() {
    static const QSettings::Format format = QSettings::registerFormat(
        QStringLiteral("conf"), ReadSettings, WriteSettings, Qt::CaseSensitive);
    return format;
}

std::mutex g_reportedLock;
std::set<QString> g_reported;  // the files already reported

// A missing file is made later; anything but a plain file (a folder, a pipe) is no settings file.
bool CanHoldSettings(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

}  // namespace

QString SettingsFilePath(const QString& organisation, const QString& application) {
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (home.isEmpty()) return QString();
    return home + u'/' + organisation + u'/' + application + QStringLiteral(".conf");
}

LSTATUS PrepareSettingsFile(const QString& path, bool* created) {
    *created = false;
    if (path.isEmpty() || !CanHoldSettings(path)) return ERROR_ACCESS_DENIED;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return ERROR_ACCESS_DENIED;
    {
        const QSettings settings(path, SettingsFormat());
        if (settings.status() != QSettings::NoError) return ERROR_ACCESS_DENIED;
    }
    if (QFileInfo::exists(path)) return ERROR_SUCCESS;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        *created = true;
        return ERROR_SUCCESS;
    }
    // Another writer may have made it in the meantime.
    return QFileInfo(path).isFile() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LSTATUS ReadSettingsValue(const QString& path, const QString& name, QByteArray* bytes) {
    if (!CanHoldSettings(path)) return ERROR_ACCESS_DENIED;
    const QSettings settings(path, SettingsFormat());
    if (settings.status() != QSettings::NoError) return ERROR_ACCESS_DENIED;
    if (!settings.contains(name)) return ERROR_FILE_NOT_FOUND;
    const QVariant value = settings.value(name);
    if (value.typeId() != QMetaType::QByteArray) return ERROR_INVALID_DATA;
    *bytes = value.toByteArray();
    if (bytes->size() % 2 != 0) return ERROR_INVALID_DATA;
    return ERROR_SUCCESS;
}

LSTATUS WriteSettingsValue(const QString& path, const QString& name, const QByteArray& bytes) {
    if (!CanHoldSettings(path)) return ERROR_ACCESS_DENIED;
    QSettings writer(path, SettingsFormat());
    if (writer.status() != QSettings::NoError) return ERROR_ACCESS_DENIED;

    const bool existed = writer.contains(name);
    const QVariant previous = writer.value(name);
    writer.setValue(name, bytes);
    writer.sync();
    if (writer.status() == QSettings::NoError) return ERROR_SUCCESS;

    // The failed value stays pending in the shared state, and the next write that succeeds would
    // carry it into the file: put back what the name held.
    if (existed) {
        writer.setValue(name, previous);
    } else {
        writer.remove(name);
    }
    return ERROR_ACCESS_DENIED;
}

// The history's own reports go to the diagnostic sink, which discards them: without this line a
// read-only home would lose the history silently.
void ReportSettingsFailure(const QString& path, SettingsFailure failure) {
    {
        std::lock_guard<std::mutex> lock(g_reportedLock);
        if (!g_reported.insert(path).second) return;
    }
    const QByteArray name =
        path.isEmpty() ? QByteArrayLiteral("(no settings folder: set HOME)") : path.toLocal8Bit();
    const char* what = failure == SettingsFailure::kOpen
                           ? "cannot be made or read: the connection history is not kept"
                           : "cannot be written: the connection history is not saved";
    std::fprintf(stderr, "%s: the settings file %s %s\n", program_invocation_short_name,
                 name.constData(), what);
}

}  // namespace platform_registry
