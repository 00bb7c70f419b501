#pragma once

#include <QStringList>

namespace varnex::ui {

// The desktop program's options for scripted studies, which draw with the
// windows' own code but open no window:
//   --report PROJECT OUT.pdf [--probability-map CONTAMINANT --time YEARS
//                             --spacing METRES]
//       (with a probability map the project is run again, since a file holds
//       no iterations, and the report ends with the map's page)
//   --render-graph PROJECT --kind CODE --type 0|1|3 [--contaminant NAME]
//                  [--source NAME|<Total>] [--receptor NAME] [--pathway NAME]
//                  [--time YEARS] [--log] [--size WxH] OUT.png|OUT.svg
//   --render-plume PROJECT --contaminant NAME --time YEARS --spacing METRES
//                  [--area X0,Y0,WIDTH,HEIGHT] [--size WxH] OUT.png|OUT.svg
// Exit codes as the command-line tool's: 0 done, 1 the work failed (no
// results, a refused plume, a file that cannot be written), 2 a wrong
// command line or an unreadable project.
class HeadlessRender {
public:
    // Whether the command line asks for one of these options (the first
    // argument after the program name).
    static bool Requested(int argc, char** argv);
    // Carries it out, messages on standard error; returns the exit code.
    // Needs a QGuiApplication (any platform, offscreen included).
    static int Run(const QStringList& arguments);
};

} // namespace varnex::ui
