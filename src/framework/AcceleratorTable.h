#pragma once
// The one accelerator table of the program: keys bound to command ids, working in the main
// window whichever document is active, and doing nothing where no handler exists.
#include <vector>

#include <QKeySequence>

class QWidget;

namespace fw {

class CCommandRouter;

struct Accelerator {
    QKeySequence key;
    int id = 0;
};

// Adds one action per key to window, bound to the router.
void InstallAccelerators(QWidget* window, const std::vector<Accelerator>& table,
                         CCommandRouter& router);

} // namespace fw
