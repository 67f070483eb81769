// Image decompression family: JPEG frames decoded into device bitmaps.
#pragma once

#include "gdi.h"

#define S_OK 0L
#define E_FAIL ((long)(int32_t)0x80004005u)

typedef DWORD(CALLBACK_GETDATA)(LPSTR szBuffer, DWORD dwBufferMax, LPARAM lParam);
typedef CALLBACK_GETDATA* GETDATACALLBACK;

typedef void(CALLBACK_IMAGEPROGRESS)(struct IImageRender* pRender, BOOL bComplete, LPARAM lParam);
typedef CALLBACK_IMAGEPROGRESS* PROGRESSFUNC;

struct DECOMPRESSIMAGEINFO {
    DWORD dwSize;                         // size of this record in bytes
    LPBYTE pbBuffer;                      // the caller's buffer, holding the image from its start
    DWORD dwBufferMax;                    // capacity of pbBuffer
    DWORD dwBufferCurrent;                // bytes of pbBuffer in use before the call
    HBITMAP* phBM;                        // receives the new bitmap
    struct IImageRender** ppImageRender;  // render object, when asked for (not supported)
    int iBitDepth;                        // bits per pixel of the target device
    LPARAM lParam;                        // user value passed to the callbacks
    HDC hdc;                              // device context the bitmap is made for
    int iScale;                           // scale in percent
    int iMaxWidth;                        // largest width delivered
    int iMaxHeight;                       // largest height delivered
    GETDATACALLBACK pfnGetData;           // tells how many bytes pbBuffer holds
    PROGRESSFUNC pfnImageProgress;        // progress notification
    COLORREF crTransparentOverride;       // transparent colour override
};

/* DecompressImageIndirect: decodes the JPEG frame at the start of pbBuffer (byte count from
   pfnGetData, else dwBufferCurrent) at iScale 100 into a new 32-bit bitmap stored in *phBM, then
   reports completion once to pfnImageProgress. Stores nothing for a frame that is empty, longer
   than dwBufferMax, larger than iMaxWidth x iMaxHeight or 4096 x 4096, or that the decoder stops
   on with an error; a frame read to its end with warnings only gives its bitmap. Bounded in time
   and memory for any input. S_OK (0) on success, else E_FAIL. */
long DecompressImageIndirect(DECOMPRESSIMAGEINFO* pParams);
