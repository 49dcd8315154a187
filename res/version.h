#pragma once
// The one place the program's version lives; the resource and the code both read it.
#define TARVO_VERSION_MAJOR 3
#define TARVO_VERSION_MINOR 0
#define TARVO_VERSION_PATCH 0
#define TARVO_VERSION_BUILD 1
#define TARVO_VERSION_TEXT "3.0.0.1"
