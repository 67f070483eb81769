// What the camera thread needs of the dialog that started it: the texts it connects with, the
// running flag, and the flags it writes. The dialog implements it.
//
// A connection is named by the ticket the thread takes at its start. Once a later Connect has
// superseded it, the setters do nothing and IsCurrentConnection answers FALSE, so a thread of an
// earlier connection never changes the view state of a newer one.
#pragma once

#include "platform/windows.h"

class CCameraOwner {
public:
    /* The window every WM_IMAGE_ARRIVED goes to. */
    virtual HWND GetNotifyWindow() = 0;
    /* The connection this thread serves; taken once, first thing. */
    virtual DWORD GetConnectionTicket() = 0;
    /* TRUE while the ticket names the latest connection. */
    virtual BOOL IsCurrentConnection(DWORD ticket) = 0;

    /* The part of the IP text before its first colon. */
    virtual CString GetCameraHost() = 0;
    /* The port: members into controls, then the first 5 characters of the port text parsed;
       portText receives those characters. */
    virtual int GetCameraPort(CString* portText) = 0;
    virtual BOOL IsRunning() = 0;
    virtual CString GetID() = 0;
    virtual CString GetPassword() = 0;

    /* Stores the connection's socket; FALSE when the connection is superseded or the dialog is
       closing, and the socket must not be used. */
    virtual BOOL SetSocket(DWORD ticket, SOCKET s) = 0;
    virtual void SetConnected(DWORD ticket, BOOL value) = 0;
    virtual void SetTrying(DWORD ticket, BOOL value) = 0;
    virtual void SetFirstFrame(DWORD ticket, BOOL value) = 0;

protected:
    ~CCameraOwner() = default;
};
