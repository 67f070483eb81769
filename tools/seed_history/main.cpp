// pemblar-seed-history HOST PORT: when the viewer's stored history is empty (a first run),
// stores the given camera address and port in it, so its lists offer them at once. A history
// that holds anything is left as it is.
#include <cstdio>
#include <string>

#include "history/connection_history.h"
#include "history/history_codec.h"
#include "history/settings_key.h"

namespace {

CString Utf16(const char* text) {
    const std::string bytes(text);
    return CString(std::u16string(bytes.begin(), bytes.end()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: pemblar-seed-history HOST PORT\n");
        return 2;
    }
    CHistoryKey key;
    if (!key.IsOpen()) {
        std::fprintf(stderr, "pemblar-seed-history: the settings cannot be opened\n");
        return 1;
    }
    if (!key.ReadText(HISTORY_VALUE_IP).IsEmpty() || !key.ReadText(HISTORY_VALUE_PORT).IsEmpty()) {
        return 0;
    }
    const bool stored = key.WriteText(HISTORY_VALUE_IP, EncodeHistory({Utf16(argv[1])})) &&
                        key.WriteText(HISTORY_VALUE_PORT, EncodeHistory({Utf16(argv[2])}));
    if (!stored) {
        std::fprintf(stderr, "pemblar-seed-history: the settings cannot be written\n");
    }
    return stored ? 0 : 1;
}
