#pragma once

// Command ids that the framework itself defines and handles, shared with the application's resource
// script. The resource compiler reads this too, so it holds nothing but #define lines.

// The About command of a Help menu.
#define ID_APP_ABOUT 0xE140
// The Help command, which the framework issues when the user presses F1.
#define ID_HELP 0xE146

// The bits of a WM_SYSCOMMAND id that name the command; the system keeps the low four for itself.
#define ID_SYSCOMMAND_MASK 0xFFF0
