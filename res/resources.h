// The program's resources, gathered into the resource section it registers with the platform.
#pragma once

#include "platform/resource_types.h"
#include "platform/user.h"
#include "res/resource.h"

extern const DLGTEMPLATE_RESOURCE kMainDialogTemplate;
extern const DLGTEMPLATE_RESOURCE kLoginDialogTemplate;
extern const ICON_RESOURCE kMainFrameIcon;
extern const AFX_RESOURCE_TABLE kProgramResources;
