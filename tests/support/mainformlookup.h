#pragma once

#include "ui/mainformcontrols.h"

// The main window's controls as a test reaches them: found by their names, the way a person finds them by
// their places, with the window's pictures. A control that is not there fails the test program.
MainFormControls FindMainControls(QWidget* form);
