// The application object: start-up of the socket layer and the modal main dialog.
#pragma once

#include "platform/windows.h"

class CPemblarApp : public CWinApp {
public:
    CPemblarApp();

    BOOL InitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()
};
