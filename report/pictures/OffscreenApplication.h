#pragma once

// Text needs a running application object; pictures are painted without any display, so
// one is started on the offscreen platform the first time a picture is needed. The process
// locale is left as it was, so numbers printed afterwards do not change.
void ensureOffscreenApplication();
