#include "fuzz_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/frame_buffer.h"
#include "res/resources.h"

void StartApplication() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "pemblar-fuzz";
    static char* argv[] = {name, nullptr};
    AfxSetResourceTable(&kProgramResources);
    // Never destroyed: the run ends with exit() from inside the fuzzing loop, while windows live.
    new QApplication(argc, argv);
}

void UseTemporarySettingsHome() {
    static const QTemporaryDir home(QDir::tempPath() + "/pemblar-fuzz-XXXXXX");
    Require(home.isValid(), "a temporary settings home can be made");
    setenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()).constData(), 1);
}

void Require(bool holds, const char* rule) {
    if (holds) return;
    std::fprintf(stderr, "pemblar fuzz: broken rule: %s\n", rule);
    std::abort();
}

size_t LoadFrameBuffer(const uint8_t* data, size_t size) {
    size = std::min<size_t>(size, MAX_IMAGE_DATA_LENGTH);
    std::memset(ImageData, 0, sizeof ImageData);
    if (size != 0) std::memcpy(ImageData, data, size);
    ImageDataLength = static_cast<int32_t>(size);
    return size;
}

int ListenOnLoopback(int* port) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    Require(listener >= 0 && ::bind(listener, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                ::listen(listener, 4) == 0 &&
                ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) == 0,
            "a loopback listener can be made");
    *port = ntohs(address.sin_port);
    return listener;
}

void ServeOne(int listener, const uint8_t* data, size_t size) {
    const int peer = ::accept(listener, nullptr, nullptr);
    if (peer < 0) return;
    for (size_t sent = 0; sent < size;) {
        const ssize_t n = ::send(peer, data + sent, size - sent, MSG_NOSIGNAL);
        if (n <= 0) break;  // the other end has gone
        sent += static_cast<size_t>(n);
    }
    ::shutdown(peer, SHUT_WR);
    char sink[256];
    while (::recv(peer, sink, sizeof sink, 0) > 0) continue;
    ::close(peer);
}
