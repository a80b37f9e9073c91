// The settings store.
#include "settings/settings.h"

// Reading the stored settings arrives with the store; start-up already calls here.
void loadSettings() {}
