// Winsock 1.1 family: blocking TCP sockets over the host's network stack.
//
// Handles are never reused within the process. Closing a socket wakes every call blocked on
// it in another thread (connect, send, recv) with WSAEINTR, and wakes a name lookup in
// progress on the thread that created it; the descriptor is released only after the last
// call on it has returned.
#pragma once

#include "windef.h"
#include "winsock/error_codes.h"

typedef uint32_t SOCKET;
#define INVALID_SOCKET ((SOCKET)(~0u))
#define SOCKET_ERROR (-1)

#define AF_INET 2
#define SOCK_STREAM 1
#define IPPROTO_TCP 6
#define INADDR_NONE 0xFFFFFFFFu
#define INADDR_LOOPBACK 0x7F000001u

struct in_addr {
    union {
        uint32_t S_addr;
    } S_un;
};
#define s_addr S_un.S_addr

struct sockaddr {
    uint16_t sa_family;
    char sa_data[14];
};

struct sockaddr_in {
    int16_t sin_family;
    uint16_t sin_port;
    struct in_addr sin_addr;
    char sin_zero[8];
};

struct hostent {
    char* h_name;
    char** h_aliases;
    int16_t h_addrtype;
    int16_t h_length;
    char** h_addr_list;
};
#define h_addr h_addr_list[0]

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[257];
    char szSystemStatus[129];
    uint16_t iMaxSockets;
    uint16_t iMaxUdpDg;
    char* lpVendorInfo;
};
typedef WSADATA* LPWSADATA;

#define MAKEWORD(a, b) ((WORD)(((BYTE)(a)) | ((WORD)((BYTE)(b))) << 8))

/* WSAStartup: initialises the socket layer, serving version 1.1 and above as 1.1; 0, or
   WSASYSNOTREADY, WSAVERNOTSUPPORTED (below 1.1) or WSAEFAULT (no lpWSAData). */
int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData);

/* WSACleanup: ends one WSAStartup; 0, or SOCKET_ERROR with WSANOTINITIALISED when none is left. */
int WSACleanup();

/* WSAGetLastError: the calling thread's last socket error (the same value as GetLastError). */
int WSAGetLastError();

/* WSASetLastError: sets the calling thread's last socket error (the same value as SetLastError). */
void WSASetLastError(int iError);

/* socket: creates a blocking IPv4 stream socket; INVALID_SOCKET (-1 as int) on failure, with
   WSAEAFNOSUPPORT, WSAESOCKTNOSUPPORT, WSAEPROTONOSUPPORT or the host's error. */
SOCKET socket(int af, int type, int protocol);

/* connect: connects the socket, blocking without a time-out; 0, or SOCKET_ERROR with WSAENOTSOCK,
   WSAEISCONN (connected before), WSAEINTR (closed meanwhile) or the host's error. */
int connect(SOCKET s, const struct sockaddr* name, int namelen);

/* send: blocks until all len bytes are queued and returns len; after a failure part-way, the
   count already sent; SOCKET_ERROR when nothing went out or the socket was closed (WSAEINTR). */
int send(SOCKET s, const char* buf, int len, int flags);

/* recv: waits for and receives up to len bytes; the count, 0 on an orderly close, or SOCKET_ERROR
   (WSAEINTR when the socket was closed meanwhile). */
int recv(SOCKET s, char* buf, int len, int flags);

/* closesocket: closes the handle and wakes calls blocked on it; SOCKET_ERROR with WSAENOTSOCK when
   it is not open. */
int closesocket(SOCKET s);

/* gethostbyname: resolves an IPv4 host name; a per-thread result valid until the thread's next
   call, or NULL with WSAHOST_NOT_FOUND, WSATRY_AGAIN, WSANO_RECOVERY, or WSAEINTR when another
   thread closed this thread's latest socket (no lookup starts once it is closed). */
struct hostent* gethostbyname(const char* name);

/* inet_addr: parses dotted IPv4 text (a, a.b, a.b.c, a.b.c.d; decimal, octal, hex; trailing white
   space allowed) to network order; INADDR_NONE if invalid. */
uint32_t inet_addr(const char* cp);

/* htons: converts a 16-bit value from host to network byte order. */
uint16_t htons(uint16_t hostshort);

/* ntohs: converts a 16-bit value from network to host byte order. */
uint16_t ntohs(uint16_t netshort);
