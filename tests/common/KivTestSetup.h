#pragma once

// What every test program does before its tests run, whatever its main() makes next: GUI tests
// never open windows on a real display, they draw offscreen.
void KivPrepareTestRun();
