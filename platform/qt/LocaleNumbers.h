#pragma once

#include "platform/NumberText.h"

// The separators of the user's locale (the toolkit's default locale).
NumberSeparators localeSeparators();
