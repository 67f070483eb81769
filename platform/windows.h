// Everything the system uses of the device's platform.
#pragma once

#include "afx.h"
#include "afxstr.h"
#include "crt.h"
#include "gdi.h"
#include "imgdecmp.h"
#include "kernel.h"
#include "registry.h"
#include "resource_types.h"
#include "user.h"
#include "windef.h"
#include "winsock.h"
