#pragma once
// For the start-up benchmark only: with VELMO_EXIT_AFTER_FIRST_PAINT set in the environment, the
// program ends once a panel view has painted for the first time and the display has it, so that
// a whole run measures the start to the first painted window with a panel open. Not an option:
// it stays out of the usage text, and unset (as always but in the benchmark) it does nothing.
void InstallFirstPaintExit();
