#include "app/app_state.h"

AppState::AppState() = default;

AppState app;
