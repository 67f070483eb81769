// The program's resource section: dialog templates, icons, strings and the version, as data
// the program provides and the platform reads.
#pragma once

#include "windef.h"

#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_BORDER 0x00800000u
#define WS_VSCROLL 0x00200000u
#define WS_GROUP 0x00020000u
#define WS_TABSTOP 0x00010000u
#define DS_MODALFRAME 0x80u
#define DS_SETFONT 0x40u
#define WS_EX_APPWINDOW 0x00040000u
#define WS_EX_CAPTIONOKBTN 0x80000000u

#define SS_LEFT 0x0000u
#define BS_PUSHBUTTON 0x0000u
#define BS_DEFPUSHBUTTON 0x0001u
#define BS_AUTOCHECKBOX 0x0003u
#define ES_LEFT 0x0000u
#define ES_PASSWORD 0x0020u
#define ES_AUTOHSCROLL 0x0080u
#define CBS_DROPDOWN 0x0002u
#define CBS_SORT 0x0100u

// One control of a dialog template; position and size in dialog units.
struct DLGITEM_RESOURCE {
    LPCWSTR className;  // u"static", u"button", u"edit" or u"combobox"
    LPCWSTR text;
    int id;  // -1 for none
    short x, y, cx, cy;
    DWORD style;
};

struct DLGTEMPLATE_RESOURCE {
    UINT id;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    LPCWSTR caption;
    LPCWSTR fontName;
    WORD pointSize;
    const DLGITEM_RESOURCE* items;
    int itemCount;
};

// One image of an icon group: 16 colours, one palette index per pixel, rows top-down, and a
// mask with 1 for a transparent pixel.
struct ICONIMAGE_RESOURCE {
    int width, height;
    const COLORREF* palette;  // 16 entries
    const BYTE* pixels;       // width * height palette indices
    const BYTE* mask;         // width * height, 1 = transparent
};

struct ICON_RESOURCE {
    UINT id;
    const ICONIMAGE_RESOURCE* images;
    int imageCount;
};

struct STRING_RESOURCE {
    UINT id;
    LPCWSTR text;
};

struct VERSION_RESOURCE {
    LPCWSTR fileVersion;  // e.g. u"1, 0, 0, 1"
    LPCWSTR productVersion;
    WORD language;  // 0x0409, English (United States)
    WORD codePage;  // 1200, Unicode
};

struct AFX_RESOURCE_TABLE {
    const DLGTEMPLATE_RESOURCE* const* dialogs;
    int dialogCount;
    const ICON_RESOURCE* const* icons;
    int iconCount;
    const STRING_RESOURCE* strings;
    int stringCount;
    const VERSION_RESOURCE* version;
};

// The string that names the application (message box captions, the desktop's window titles).
#define AFX_IDS_APP_TITLE 0xE000u

/* AfxSetResourceTable: makes table the resource section the platform reads (the program's, set at
   start-up before any window or message box); NULL leaves an empty section. */
void AfxSetResourceTable(const AFX_RESOURCE_TABLE* table);

/* AfxGetResourceTable: the registered resource section; an empty one when none is registered. */
const AFX_RESOURCE_TABLE& AfxGetResourceTable();
