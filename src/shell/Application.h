#pragma once

class FitnessController;
class SingleInstance;
class fFeat;

// Runs the program: reads the command line, creates the application, the main
// window and its companions, loads the main window and runs the event loop.
// Returns the process exit code.
int runQuorvel(int argc, char* argv[]);

// Joins the main window and the fitness side: replies go to `fitness`, its
// close question ends the program through the main window's closing step
// (without asking again), and its print button opens a preview of the ration
// it reports. Both must outlive the connection's use.
void connectFitness(fFeat& window, FitnessController& fitness);

// A later start of the program brings `window` forward, restored and active,
// as the tray's "Настройки" does. An instance running without its guard says
// so in the window's status log.
void joinSingleInstance(SingleInstance& instance, fFeat& window);
