#pragma once

// Shared by Vimbrel.rc and the C++ code that loads the resources.

// A name, not a number, so that LoadIcon(instance, "MAINICON") finds it; named resources
// sort before numbered ones, which makes it the first icon and so the one Explorer shows.
#define VIMBREL_MAIN_ICON "MAINICON"
