// The frame buffer shared by the camera thread and frame arrival.
#pragma once

#include "platform/windows.h"

#define MAX_IMAGE_DATA_LENGTH 200000

// Written only by the camera thread (each payload, each accepted length); read only by frame
// arrival and the decoder it calls, while the camera thread waits in its synchronous hand-off.
extern BYTE ImageData[MAX_IMAGE_DATA_LENGTH];
// Always 0..MAX_IMAGE_DATA_LENGTH.
extern int32_t ImageDataLength;
