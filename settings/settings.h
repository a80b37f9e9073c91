// The settings store: six values under the program's registry key.
#pragma once

#include "app/app_state.h"

void loadSettings();
