#pragma once

// Runs the program: reads the command line, creates the application, the main
// window and its companions, loads the main window and runs the event loop.
// Returns the process exit code.
int runQuorvel(int argc, char* argv[]);
