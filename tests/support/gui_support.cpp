// Shared code of the window tests lives in tests/support/gui_*.cpp; this unit keeps the
// library valid while there is none.
