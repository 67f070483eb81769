// Winsock 1.1 family: blocking TCP sockets over the host's network stack.
//
// Handles are never reused within the process. Closing a socket wakes every call blocked on
// it in another thread (connect, send, recv) with WSAEINTR, and wakes a name lookup in
// progress on the thread that created it; the descriptor is released only after the last
// call on it has returned.
#pragma once

#include "windef.h"

typedef uint32_t SOCKET;
#define INVALID_SOCKET ((SOCKET)(~0u))
#define SOCKET_ERROR (-1)

#define AF_INET 2
#define SOCK_STREAM 1
#define IPPROTO_TCP 6
#define INADDR_NONE 0xFFFFFFFFu
#define INADDR_ANY 0x00000000u
#define INADDR_LOOPBACK 0x7F000001u

#define WSABASEERR 10000
#define WSAEINTR 10004
#define WSAEBADF 10009
#define WSAEACCES 10013
#define WSAEFAULT 10014
#define WSAEINVAL 10022
#define WSAEMFILE 10024
#define WSAEWOULDBLOCK 10035
#define WSAEINPROGRESS 10036
#define WSAEALREADY 10037
#define WSAENOTSOCK 10038
#define WSAEDESTADDRREQ 10039
#define WSAEMSGSIZE 10040
#define WSAEPROTOTYPE 10041
#define WSAENOPROTOOPT 10042
#define WSAEPROTONOSUPPORT 10043
#define WSAESOCKTNOSUPPORT 10044
#define WSAEOPNOTSUPP 10045
#define WSAEPFNOSUPPORT 10046
#define WSAEAFNOSUPPORT 10047
#define WSAEADDRINUSE 10048
#define WSAEADDRNOTAVAIL 10049
#define WSAENETDOWN 10050
#define WSAENETUNREACH 10051
#define WSAENETRESET 10052
#define WSAECONNABORTED 10053
#define WSAECONNRESET 10054
#define WSAENOBUFS 10055
#define WSAEISCONN 10056
#define WSAENOTCONN 10057
#define WSAESHUTDOWN 10058
#define WSAETIMEDOUT 10060
#define WSAECONNREFUSED 10061
#define WSAEHOSTDOWN 10064
#define WSAEHOSTUNREACH 10065
#define WSANOTINITIALISED 10093
#define WSAHOST_NOT_FOUND 11001
#define WSATRY_AGAIN 11002
#define WSANO_RECOVERY 11003
#define WSANO_DATA 11004

struct in_addr {
    union {
        struct {
            BYTE s_b1, s_b2, s_b3, s_b4;
        } S_un_b;
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

/* WSAStartup: initialises the socket layer for this process; 0 on success, else an error code. */
int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData);

/* WSACleanup: ends one WSAStartup; 0 on success, SOCKET_ERROR when the layer was not started. */
int WSACleanup();

/* WSAGetLastError: the calling thread's last socket error (the same value as GetLastError). */
int WSAGetLastError();

/* socket: creates a blocking socket; INVALID_SOCKET (-1 as int) on failure, with the last error set. */
SOCKET socket(int af, int type, int protocol);

/* connect: connects a stream socket, blocking without a time-out; 0 or SOCKET_ERROR. */
int connect(SOCKET s, const struct sockaddr* name, int namelen);

/* send: one send of up to len bytes, blocking; the count sent (maybe short) or SOCKET_ERROR. */
int send(SOCKET s, const char* buf, int len, int flags);

/* recv: waits for and receives up to len bytes; the count, 0 on an orderly close, or SOCKET_ERROR. */
int recv(SOCKET s, char* buf, int len, int flags);

/* closesocket: closes the handle and wakes calls blocked on it; SOCKET_ERROR (WSAENOTSOCK) if already closed. */
int closesocket(SOCKET s);

/* gethostbyname: resolves an IPv4 host name; a per-thread result valid until the thread's next call, or NULL. */
struct hostent* gethostbyname(const char* name);

/* inet_addr: parses dotted IPv4 text (a, a.b, a.b.c, a.b.c.d; decimal, octal, hex) to network order; INADDR_NONE if invalid. */
uint32_t inet_addr(const char* cp);

/* htons: converts a 16-bit value from host to network byte order. */
uint16_t htons(uint16_t hostshort);

/* ntohs: converts a 16-bit value from network to host byte order. */
uint16_t ntohs(uint16_t netshort);
