#pragma once

// Registers the logo and icon, which live in a static library and would otherwise be
// dropped by the linker. Safe to call more than once.
void initVelmoraResources();
