#include "PlatformClasses.h"

#include "Controls.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "Grids.h"
#include "StdCtrls.h"

void RegisterPlatformClasses() {
    RegisterGraphicsClasses();
    RegisterControlsClasses();
    RegisterStdCtrlsClasses();
    RegisterExtCtrlsClasses();
    RegisterGridsClasses();
}
