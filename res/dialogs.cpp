// Dialog templates: the main dialog (102) and the login dialog (129).
#include "res/resources.h"

namespace {

const DLGITEM_RESOURCE kMainDialogItems[] = {
    {u"static", u"IP :", IDC_STATIC, 16, 9, 12, 8, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
    {u"button", u"Connect", IDC_BUTTON_CONNECT, 65, 21, 46, 12,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {u"static", u"Port :", IDC_STATIC, 10, 23, 20, 8, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
    {u"combobox", u"", IDC_COMBO_IP, 33, 7, 98, 88,
     WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_SORT},
    {u"combobox", u"", IDC_COMBO_PORT, 33, 21, 31, 90,
     WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_SORT},
    {u"button", u"clear", IDC_BUTTON_CLEAR, 111, 21, 20, 12,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
};

const DLGITEM_RESOURCE kLoginDialogItems[] = {
    {u"button", u"OK", IDOK, 15, 52, 50, 14,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {u"button", u"Cancel", IDCANCEL, 70, 52, 50, 14,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {u"static", u"ID :", IDC_STATIC, 27, 9, 13, 8, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
    {u"static", u"Password :", IDC_STATIC, 5, 24, 38, 8,
     WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
    {u"edit", u"", IDC_EDIT_ID, 46, 7, 84, 12,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT},
    // A plain entry: the password shows as typed.
    {u"edit", u"", IDC_EDIT_PASSWORD, 46, 23, 84, 12,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT},
    {u"button", u"Save Password", IDC_CHECK_SAVE_PASSWORD, 46, 37, 81, 10,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
};

}  // namespace

const DLGTEMPLATE_RESOURCE kMainDialogTemplate = {
    IDD_PEMBLAR_DIALOG,
    WS_POPUP | WS_VISIBLE | DS_SETFONT,
    WS_EX_CAPTIONOKBTN | WS_EX_APPWINDOW,
    0,
    0,
    140,
    102,
    u"",
    u"System",
    8,
    kMainDialogItems,
    static_cast<int>(sizeof kMainDialogItems / sizeof kMainDialogItems[0]),
};

const DLGTEMPLATE_RESOURCE kLoginDialogTemplate = {
    IDD_LOGIN,
    WS_POPUP | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    0,
    137,
    73,
    u"",
    u"System",
    8,
    kLoginDialogItems,
    static_cast<int>(sizeof kLoginDialogItems / sizeof kLoginDialogItems[0]),
};
