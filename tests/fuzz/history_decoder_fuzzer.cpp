// Fuzz target: stored history text. The first byte picks the way: 0 units of one byte, 1 of two
// (little-endian) to the decoder; 2 and 3 a settings file read through the key, then decoded.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "history/connection_history.h"
#include "history/history_codec.h"
#include "history/settings_key.h"

namespace {

CString Units(const uint8_t* data, size_t size, bool pairs) {
    std::u16string text;
    if (!pairs) text.assign(data, data + size);
    for (size_t i = 0; pairs && i + 1 < size; i += 2)
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    return CString(text);
}

void CheckDecoded(const CString& stored, int maxItemChars) {
    const std::vector<CString> items = DecodeHistory(stored, maxItemChars);
    for (const CString& item : items) {
        Require(item.GetLength() <= maxItemChars, "no decoded item is longer than its limit");
        Require(item.Find(HISTORY_DELIMITER) < 0, "no decoded item holds the separator");
    }
    // What is stored again loads again: the items that fit the value, in the same order.
    const CString encoded = EncodeHistory(items);
    Require(encoded.GetLength() + 1 <= HISTORY_VALUE_UNITS, "an encoded list fits its value");
    const std::vector<CString> again = DecodeHistory(encoded, maxItemChars);
    Require(again.size() <= items.size(), "encoding adds no item");
    Require(std::equal(again.begin(), again.end(), items.begin()),
            "encoding keeps every stored item as it was");
    Require(stored.GetLength() + 1 > HISTORY_VALUE_UNITS || again.size() == items.size(),
            "a list read from a value fits a value again");
}

// Writes the settings file with a modification time of its own, so the settings layer never
// takes it for the file it read last time.
void WriteSettingsFile(const uint8_t* data, size_t size) {
    static qint64 stamp = 1000000000;
    const QString folder = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/MyCompany";
    QDir().mkpath(folder);
    QFile file(folder + "/Pemblar.conf");
    Require(file.open(QIODevice::WriteOnly), "the settings file can be written");
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.setFileTime(QDateTime::fromSecsSinceEpoch(++stamp), QFileDevice::FileModificationTime);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    UseTemporarySettingsHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t way = *data++ & 3;
    --size;
    const std::pair<const char16_t*, int> values[] = {{HISTORY_VALUE_IP, HISTORY_IP_MAX_CHARS},
                                                      {HISTORY_VALUE_PORT, HISTORY_PORT_MAX_CHARS}};
    if (way < 2) {
        const CString stored = Units(data, size, way == 1);
        for (const auto& [name, limit] : values) CheckDecoded(stored, limit);
        return 0;
    }
    WriteSettingsFile(data, size);
    CHistoryKey key;
    Require(key.IsOpen(), "the settings key opens over any file");
    for (const auto& [name, limit] : values) {
        const CString text = key.ReadText(name);
        Require(text.GetLength() + 1 <= HISTORY_VALUE_UNITS, "a read value fits its buffer");
        CheckDecoded(text, limit);
    }
    return 0;
}
