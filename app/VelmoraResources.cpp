#include "app/VelmoraResources.h"

#include <QtGlobal>

void initVelmoraResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}
