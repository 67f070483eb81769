// The calling thread's TurboJPEG decompressor, made on first use and kept for the thread's life.
#pragma once

#include <turbojpeg.h>

namespace imgdecmp {

/* The calling thread's decompressor instance; nullptr when none can be made. */
tjhandle ThreadDecompressor();

/* Drops the calling thread's instance after a failed call; the next call makes a fresh one.
   TurboJPEG 2.1 leaves an instance whose header read failed in the middle of that read, and
   every later call on it fails too. */
void DiscardThreadDecompressor();

}  // namespace imgdecmp
