// The frame buffer: one per process, zero at start.
#include "common/frame_buffer.h"

BYTE ImageData[MAX_IMAGE_DATA_LENGTH] = {};
int32_t ImageDataLength = 0;
