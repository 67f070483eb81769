// The camera protocol: packet layouts, message codes, the shared frame buffer and the stream
// primitives the camera thread and the painting rest on.
#pragma once

#include "common/frame_buffer.h"
#include "common/trace.h"
#include "platform/windows.h"

#define MESSAGE_PACKET_LENGTH 4
#define IMG_XFER_USER_AUTH_PKT_LEN 48
#define IMAGE_DATA_HEADER_LENGTH 32

#define IMAGE_REQUEST 110
#define SERVER_FULL 120
#define SERVER_READY 121
#define IMAGE_OK 130
#define USER_AUTH 300
#define USER_AUTH_OK 301
#define ADMIN_AUTH_FAILED 302
#define INVALID_MESSAGE_ID 9000

// Field layout of the authentication packet and the image header.
#define AUTH_ID_OFFSET 16
#define AUTH_PASSWORD_OFFSET 32
#define AUTH_TEXT_FIELD_LENGTH 16
#define HEADER_CODE_OFFSET 20
#define HEADER_CODE_LENGTH 4
#define HEADER_LENGTH_OFFSET 24
#define HEADER_LENGTH_LENGTH 8

/* Receives exactly n bytes into buf: n, -1 after a socket error, or the short count when the
   camera closed first; 0 without receiving for n <= 0. */
int recvn(SOCKET s, char* buf, int n);

/* Sends one IMAGE_REQUEST; FALSE only when the send failed with a socket error. */
BOOL SendImageRequestPacket(SOCKET s);

/* Closes the socket and reports a failed close. */
void CloseCameraSocket(SOCKET s);

/* Parses a message code or the image header's length field, `width` bytes (at most 8, the widest
   header field), the way atoi does, the field alone. */
int ParseCodeOrLengthField(const char* field, int width);

/* Fills the 48-byte authentication packet: code USER_AUTH, then the ID and the password as 8-bit
   text in their zero-filled 16-byte fields. */
void BuildAuthPacket(char* packet, const CString& id, const CString& password);
