// Where the viewer sits and how large it is.
#include "viewer/viewer.h"

// Sizing and placing arrive with the viewer; start-up already calls here.
void placeViewer() {}
