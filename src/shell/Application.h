#pragma once

// Runs the program: the application object, the main window, the event loop.
int runQuorvel(int argc, char* argv[]);
