#include "NotificheApp.h"

NotificheApp& NotificheApp::shared()
{
    static NotificheApp istanza;
    return istanza;
}
