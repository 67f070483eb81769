// Fuzz target: stored history text, straight to the decoder or through a hostile settings file.
// The first byte picks the way: 0 takes each further byte as one UTF-16 unit, 1 takes byte pairs
// as little-endian units, 2 and 3 write the further bytes as the settings file and read both
// history values back through the history's settings key. Each decoded list must encode and
// decode again to the same items.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_environment.h"
#include "history/connection_history.h"
#include "history/history_codec.h"
#include "history/settings_key.h"

namespace {

using fuzz_support::Violation;

CString Units(const uint8_t* data, size_t size, bool pairs) {
    std::u16string text;
    if (pairs) {
        for (size_t i = 0; i + 1 < size; i += 2) {
            text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        }
    } else {
        text.assign(data, data + size);
    }
    return CString(text);
}

void CheckDecoded(const CString& stored, int maxItemChars) {
    const std::vector<CString> items = DecodeHistory(stored, maxItemChars);
    const CString delimiter = HISTORY_DELIMITER;
    for (const CString& item : items) {
        if (item.GetLength() > maxItemChars) Violation("no decoded item is longer than its limit");
        if (item.Find(delimiter) >= 0) Violation("no decoded item holds the separator");
    }
    // What is stored again loads again: the items that fit the value, in the same order.
    const CString encoded = EncodeHistory(items);
    if (encoded.GetLength() + 1 > HISTORY_VALUE_UNITS) Violation("an encoded list fits its value");
    const std::vector<CString> again = DecodeHistory(encoded, maxItemChars);
    if (again.size() > items.size()) Violation("encoding adds no item");
    for (size_t i = 0; i < again.size(); ++i) {
        if (!(again[i] == items[i])) Violation("encoding keeps every stored item as it was");
    }
    if (stored.GetLength() + 1 <= HISTORY_VALUE_UNITS && again.size() != items.size()) {
        Violation("a list read from a value fits a value again");
    }
}

// Writes the settings file with a modification time of its own, so the settings layer never
// takes it for the file it read last time.
void WriteSettingsFile(const uint8_t* data, size_t size) {
    static qint64 stamp = 1000000000;
    const QString folder = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/MyCompany";
    QDir().mkpath(folder);
    QFile file(folder + "/Pemblar.conf");
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Violation("the settings file can be written");
    }
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.setFileTime(QDateTime::fromSecsSinceEpoch(++stamp), QFileDevice::FileModificationTime);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::UseTemporarySettingsHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t way = data[0] & 3;
    ++data;
    --size;
    if (way < 2) {
        const CString stored = Units(data, size, way == 1);
        CheckDecoded(stored, HISTORY_IP_MAX_CHARS);
        CheckDecoded(stored, HISTORY_PORT_MAX_CHARS);
        return 0;
    }
    WriteSettingsFile(data, size);
    CHistoryKey key;
    if (!key.IsOpen()) Violation("the settings key opens over any file");
    const CString ip = key.ReadText(HISTORY_VALUE_IP);
    const CString port = key.ReadText(HISTORY_VALUE_PORT);
    if (ip.GetLength() + 1 > HISTORY_VALUE_UNITS || port.GetLength() + 1 > HISTORY_VALUE_UNITS) {
        Violation("a value read from the settings fits its buffer");
    }
    CheckDecoded(ip, HISTORY_IP_MAX_CHARS);
    CheckDecoded(port, HISTORY_PORT_MAX_CHARS);
    return 0;
}
