// The resource section: templates, icon, strings and the version resource, which the program
// registers with the platform at start-up.
#include "res/resources.h"

namespace {

const DLGTEMPLATE_RESOURCE* const kDialogs[] = {&kMainDialogTemplate, &kLoginDialogTemplate};
const ICON_RESOURCE* const kIcons[] = {&kMainFrameIcon};
const STRING_RESOURCE kStrings[] = {
    {IDP_SOCKETS_INIT_FAILED, u"Windows CE sockets initialization failed."},
    {AFX_IDS_APP_TITLE, u"Pemblar"},
};
const VERSION_RESOURCE kVersion = {u"1, 0, 0, 1", u"1, 0, 0, 1", 0x0409, 1200};

}  // namespace

const AFX_RESOURCE_TABLE kProgramResources = {
    kDialogs, 2, kIcons, 1, kStrings, 2, &kVersion,
};
